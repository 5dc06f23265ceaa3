#include "sim/pass_tally.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include "sim/engine_data.h"
#include "sim/forms.h"
#include "sim/game_memory.h"
#include "sim/host_image.h"
#include "sim/trace.h"

namespace sim {
namespace {

constexpr const char* Reasons[] = {"no-form",     "other-type",    "k-hold-link",   "k-no-base",
                                   "k-base-7",    "k-loaded-base", "k-named-items", "k-held",
                                   "j-hold-link", "j-no-base",     "j-loaded-base", "j-named-items",
                                   "j-held",      "v-kept-form",   "v-list-marked", "v-outpost"};

struct FormFacts {
  std::string expect;
  std::size_t faultAt = 0;
};

// Something that happened to the table during the pass, after the Nth erasure of the pass.
struct TableEvent {
  std::size_t afterErasures;
  bool moved;
  std::uint64_t newCount;
};

std::unordered_map<void*, FormFacts> facts;
std::set<std::uint32_t> erasedInEarlierPasses;
std::vector<void*> erasedThisPass;
std::vector<char> erasedTypes;
std::vector<TableEvent> events;
std::int64_t lockedAtNs = 0;
std::uint64_t countAtLock = 0;
bool walked = false;         // the pass got past its preconditions this time
bool eraseOutposts = false;  // as the settings file said when the plugin was loaded

bool Unreadable(const FormFacts& form, std::uintptr_t member) {
  return form.faultAt != 0 && member >= form.faultAt;
}

bool IsRuntime(std::uint32_t formId) {
  return (formId >> 24) == 0xFF;
}

// Whether judging the form (not erased before) reads at least one unreadable member.
bool UnreadableOnVisit(void* form, std::uint8_t type, const std::string& reason) {
  const auto found = facts.find(form);
  if (found == facts.end()) return false;
  const FormFacts& own = found->second;
  if (type == 'V') {
    // ParentObject, the member read first, lies last in the form.
    return reason != "v-kept-form" && own.faultAt != 0;
  }
  if (Unreadable(own, Member::HoldLink)) return true;
  if (reason == "k-hold-link" || reason == "j-hold-link") return false;
  if (Unreadable(own, Member::BaseObject)) return true;
  if (type != 'K' || reason == "k-no-base" || reason == "k-base-7") return false;
  void* base = Get<void*>(form, Member::BaseObject);
  if (base == nullptr || IsRuntime(FormIdAt(base))) return false;
  const auto baseFacts = facts.find(base);
  return baseFacts != facts.end() && Unreadable(baseFacts->second, Member::BaseRelatedForm);
}

// A form the walk kept, as the world says why.
struct KeptForm {
  std::uint32_t formId;
  std::string reason;
  bool unreadable;
};

struct Tally {
  std::uint64_t slots = 0, inUse = 0, restarts = 0, examined = 0, expectedErase = 0;
  std::uint64_t skipped = 0, erasedOutposts = 0;
  bool keptBUnreadable = false;
  std::map<char, std::uint64_t> erased;
  std::vector<KeptForm> keptForms;             // in walk order, each once
  std::vector<std::uint32_t> unreadableForms;  // judged with an unreadable member, each once
};

void Keep(Tally& tally, std::uint32_t formId, const std::string& reason, bool unreadable) {
  tally.keptForms.push_back({formId, reason, unreadable});
}

// Replays the walk over the table as it is now, with the erasures and table events the
// engine saw, counting each form once after a restart, as a player would.
Tally ReplayWalk() {
  Tally tally;
  const TableSlot* slots = CurrentSlots();
  std::uint64_t count = countAtLock;
  std::size_t erasures = 0, nextEvent = 0;
  std::set<void*> erased;
  std::vector<std::uint32_t> unreadableErasedForms;  // outlive a restart, as the erasures do
  for (std::uint64_t i = 0; slots != nullptr && i < count; ++i) {
    const TableSlot& slot = slots[i];
    if (slot.state == EmptySlot) continue;
    ++tally.inUse;
    if (!IsRuntime(slot.key)) continue;
    if (erasedInEarlierPasses.count(slot.key)) {
      ++tally.examined;
      ++tally.skipped;
      continue;
    }
    if (slot.form != nullptr && erased.count(slot.form)) continue;  // met again after a restart
    ++tally.examined;
    if (slot.form == nullptr || FormIdAt(slot.form) != slot.key) {
      Keep(tally, slot.key, "no-form", false);
      continue;
    }
    const std::uint8_t type = FormTypeAt(slot.form);
    if (type != 'K' && type != 'J' && type != 'V') {
      Keep(tally, slot.key, "other-type", false);
      continue;
    }
    const auto found = facts.find(slot.form);
    std::string reason = found == facts.end() ? "unstated" : found->second.expect;
    const bool erasedNow =
        erasures < erasedThisPass.size() && erasedThisPass[erasures] == slot.form;
    const bool erasedOutpost = erasedNow && reason == "v-outpost";
    if (erasedOutpost) reason = "erase";  // outposts erased when asked to
    const bool unreadable = UnreadableOnVisit(slot.form, type, erasedNow ? "erase" : reason);
    if (unreadable) tally.unreadableForms.push_back(slot.key);
    if (erasedNow && reason == "erase") ++tally.expectedErase;
    if (!erasedNow) {
      Keep(tally, slot.key, reason != "erase" ? reason : "not-erased", unreadable);
      continue;
    }
    erased.insert(slot.form);
    if (unreadable) unreadableErasedForms.push_back(slot.key);
    tally.erasedOutposts += erasedOutpost;
    ++tally.erased[erasedTypes[erasures]];
    ++erasures;
    for (; nextEvent < events.size() && events[nextEvent].afterErasures == erasures; ++nextEvent) {
      if (events[nextEvent].moved) {
        ++tally.restarts;
        tally.inUse = 0;
        tally.keptForms.clear();
        tally.skipped = 0;
        tally.unreadableForms = unreadableErasedForms;
        tally.examined = erasures;
        i = static_cast<std::uint64_t>(-1);  // the walk starts again at the first slot
      } else {
        count = events[nextEvent].newCount;
      }
    }
  }
  tally.slots = count;
  // KeptFormB is read once a pass, from the kept form A.
  if (void* const* source = Get<void* const*>(GameAddress(GameOffset::KeptFormSourceSlot), 0)) {
    const auto keptA = facts.find(*source);
    tally.keptBUnreadable = keptA != facts.end() && Unreadable(keptA->second, Member::KeptFormB);
  }
  return tally;
}

}  // namespace

void SetFormFacts(void* form, const std::string& expect, std::size_t faultAt) {
  facts[form] = {expect, faultAt};
}

std::span<const char* const> KeptReasonNames() {
  return Reasons;
}

bool IsExpectedReason(const std::string& expect) {
  return expect == "erase" ||
         std::find(std::begin(Reasons), std::end(Reasons), expect) != std::end(Reasons);
}

void ForgetTally() {
  facts.clear();
  erasedInEarlierPasses.clear();
}

void SetTallyEraseOutposts(bool on) {
  eraseOutposts = on;
}

void TallyWalkStarts() {
  walked = true;
}

void TallyLocked(std::int64_t nowNs) {
  if (!Tracing()) return;  // runners and benchmarks keep no account
  walked = false;
  lockedAtNs = nowNs;
  countAtLock = CurrentSlotCount();
  erasedThisPass.clear();
  erasedTypes.clear();
  events.clear();
}

void TallyErased(void* form, char type) {
  if (!Tracing()) return;  // runners and benchmarks keep no account
  erasedThisPass.push_back(form);
  erasedTypes.push_back(type);
}

void TallySlotArrayMoved() {
  if (!Tracing()) return;  // runners and benchmarks keep no account
  events.push_back({erasedThisPass.size(), true, 0});
}

void TallySlotCountShrunk(std::uint64_t newCount) {
  if (!Tracing()) return;  // runners and benchmarks keep no account
  events.push_back({erasedThisPass.size(), false, newCount});
}

void TallyUnlocked(std::int64_t nowNs) {
  if (Tracing() && walked) {
    const Tally tally = ReplayWalk();
    std::string kept;
    std::map<std::string, std::uint64_t> keptByReason;
    for (const KeptForm& form : tally.keptForms) ++keptByReason[form.reason];
    for (const auto& [reason, count] : keptByReason) {
      if (count != 0) kept += (kept.empty() ? "" : ",") + reason + ":" + std::to_string(count);
    }
    const auto erased = [&](char type) {
      const auto found = tally.erased.find(type);
      return static_cast<unsigned long long>(found == tally.erased.end() ? 0 : found->second);
    };
    Trace(
        "tally slots=%llu in-use=%llu restarts=%llu examined=%llu erased=K:%llu,J:%llu,V:%llu "
        "outposts=%llu erase-outposts=%d expected-erase=%llu skipped=%llu unreadable=%llu "
        "keptb-unreadable=%d lock-ns=%lld kept=%s",
        static_cast<unsigned long long>(tally.slots), static_cast<unsigned long long>(tally.inUse),
        static_cast<unsigned long long>(tally.restarts),
        static_cast<unsigned long long>(tally.examined), erased('K'), erased('J'), erased('V'),
        static_cast<unsigned long long>(tally.erasedOutposts), eraseOutposts ? 1 : 0,
        static_cast<unsigned long long>(tally.expectedErase),
        static_cast<unsigned long long>(tally.skipped),
        static_cast<unsigned long long>(tally.unreadableForms.size()),
        tally.keptBUnreadable ? 1 : 0, static_cast<long long>(nowNs - lockedAtNs), kept.c_str());
    for (const KeptForm& form : tally.keptForms) {
      Trace("tally-kept %08X %s%s", form.formId, form.reason.c_str(),
            form.unreadable ? " unreadable" : "");
    }
    for (const std::uint32_t formId : tally.unreadableForms) Trace("tally-unreadable %08X", formId);
  }
  for (void* form : erasedThisPass) erasedInEarlierPasses.insert(FormIdAt(form));
  erasedThisPass.clear();
}

}  // namespace sim
