#include "sim/engine.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/host_image.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct FormTableObject {
  unsigned char unused[0x10];
  TableSlot* slots;             // +0x10
  std::uint64_t count;          // +0x18
  std::uint32_t emptinessWord;  // +0x20
};
static_assert(offsetof(FormTableObject, slots) == 0x10);
static_assert(offsetof(FormTableObject, emptinessWord) == 0x20);

struct EventSource {
  const char* name;
  std::vector<void*> sinks;
};

struct FormRecord {
  void* form;
  std::uint8_t type;
  std::string note;
};

struct EngineState {
  EngineCounters counters;
  FormTableObject table{};
  int lockDepth = 0;
  std::unordered_map<std::uint32_t, void*> lookup;
  std::unordered_map<std::uint8_t, std::uint64_t*> vtables;
  std::unordered_map<void*, std::size_t> slotArrayBytes;
  std::map<const void*, std::string> sinkLabels;
  std::vector<FormRecord> forms;
  std::unordered_map<void*, std::size_t> formIndex;
  std::function<void(std::uint64_t)> eraseHook;
  bool recordForms = true;
  EventSource loadGame{"load-game", {}};
  EventSource playerUpdate{"player-update", {}};
};

EngineState& State() {
  static EngineState state;
  return state;
}

void ProtocolError(const char* what, std::uint32_t formId = 0) {
  ++State().counters.protocolErrors;
  Trace("error %s %08X", what, formId);
}

void RequireLock(const char* call, const void* form) {
  if (State().lockDepth <= 0) ProtocolError(call, form ? FormIdAt(form) : 0);
}

const char* SinkLabel(const void* sink) {
  auto& labels = State().sinkLabels;
  auto found = labels.find(sink);
  if (found == labels.end()) {
    char label[16];
    std::snprintf(label, sizeof label, "S%u", static_cast<unsigned>(labels.size() + 1));
    found = labels.emplace(sink, label).first;
  }
  return found->second.c_str();
}

// Engine functions. Like MSVC code, results narrower than a register leave garbage above.

std::uint64_t GetFormTypeVirtual(const void* self) {
  const auto* vtable = Get<const std::uint64_t*>(self, 0);
  return 0xA5A5A500u | (vtable[40] & 0xFF);
}

std::uint64_t UnexpectedVirtual(const void* self) {
  ProtocolError("unexpected-virtual-call", FormIdAt(self));
  return 0;
}

void* LookupFormById(std::uint32_t formId) {
  const auto found = State().lookup.find(formId);
  void* form = found == State().lookup.end() ? nullptr : found->second;
  Trace("lookup %08X -> %d", formId, form != nullptr);
  return form;
}

void* GameDynamicCast(void* object, std::int32_t delta, void* source, void* target,
                      std::int32_t isReference) {
  if (delta != 0 || isReference != 0 || source != GameAddress(GameOffset::kCastSourceType) ||
      target != GameAddress(GameOffset::kCastTargetType)) {
    ProtocolError("cast-arguments");
  }
  Trace("cast");
  return object == nullptr ? nullptr : Get<void*>(object, 0);
}

void LockFormTable(void* lock) {
  if (lock != GameAddress(GameOffset::kFormTableLock)) ProtocolError("lock-address");
  ++State().counters.locks;
  ++State().lockDepth;
  Trace("lock");
}

void UnlockFormTable(void* lock) {
  if (lock != GameAddress(GameOffset::kFormTableLock)) ProtocolError("unlock-address");
  if (State().lockDepth <= 0) ProtocolError("unlock-without-lock");
  ++State().counters.unlocks;
  --State().lockDepth;
  Trace("unlock");
}

void* GetKeptForm(void* source) {
  Trace("kept-form");
  return Get<void*>(source, 0);
}

std::uint64_t GetFormHolder(void* form, std::uint64_t flag, void* second, void* third) {
  RequireLock("holder-outside-lock", form);
  if ((flag & 0xFF) != 1 || second != nullptr || third != nullptr) {
    ProtocolError("holder-arguments", FormIdAt(form));
  }
  Trace("holder %08X", FormIdAt(form));
  // Held forms answer with bits above the low 32 only: the whole 64-bit value counts.
  return (Get<std::uint8_t>(form, Member::kSimFlags) & kFlagHeld) ? 0x100000000ull : 0;
}

void AfterErase(void* form) {
  const std::uint8_t flags = Get<std::uint8_t>(form, Member::kSimFlags);
  if (flags & kFlagErased) ProtocolError("erased-twice", FormIdAt(form));
  Put<std::uint8_t>(form, Member::kSimFlags, flags | kFlagErased);
  const std::uint64_t number = ++State().counters.erasures;
  if (State().eraseHook) State().eraseHook(number);
}

void BeginErase(void* form, std::uint64_t second) {
  RequireLock("erase-outside-lock", form);
  if (second != 0) ProtocolError("begin-erase-arguments", FormIdAt(form));
  Trace("begin-erase %08X", FormIdAt(form));
  AfterErase(form);
}

std::uint64_t FinishErase(void* first, void* second, void* form) {
  RequireLock("erase-outside-lock", form);
  if (first != nullptr || second != nullptr) ProtocolError("finish-erase-arguments");
  Trace("finish-erase %08X", FormIdAt(form));
  return 0xCCCCCC01;
}

std::uint64_t EraseVForm(void* form) {
  RequireLock("erase-outside-lock", form);
  Trace("erase-v %08X", FormIdAt(form));
  AfterErase(form);
  return 0xCCCCCC01;
}

void* FindAttachedList(void* holder, std::uint64_t kind) {
  if ((kind & 0xFF) != 0x80) ProtocolError("attached-list-kind");
  return Get<void*>(holder, 0);
}

std::uint64_t MatchesMarker(void* item, void* marker) {
  const bool matches = Get<void*>(item, 0) == marker;
  Trace("matches -> %d", matches);
  return 0xABCDEF00u | (matches ? 1u : 0u);
}

EventSource* SourceAt(void* address) {
  if (address == GameAddress(GameOffset::kLoadGameEventSource)) return &State().loadGame;
  if (address == &State().playerUpdate) return &State().playerUpdate;
  return nullptr;
}

void AttachSink(void* source, void* sink) {
  EventSource* target = SourceAt(source);
  if (target == nullptr) return ProtocolError("attach-unknown-source");
  Trace("attach %s %s", target->name, SinkLabel(sink));
  target->sinks.push_back(sink);
}

void DetachSink(void* source, void* sink) {
  EventSource* target = SourceAt(source);
  if (target == nullptr) return ProtocolError("detach-unknown-source");
  Trace("detach %s %s", target->name, SinkLabel(sink));
  std::erase(target->sinks, sink);
}

void* GetPlayerUpdateEventSource() {
  Trace("player-update-source");
  return &State().playerUpdate;
}

void Dispatch(EventSource& source) {
  using HandleEventFn = std::int32_t (*)(void* self, const void* event, void* dispatcher);
  unsigned char event[64] = {};
  const std::vector<void*> sinks = source.sinks;  // a handler may detach itself
  for (void* sink : sinks) {
    const auto* vtable = Get<void* const*>(sink, 0);
    const std::int32_t result = reinterpret_cast<HandleEventFn>(vtable[1])(sink, event, &source);
    Trace("dispatched %s %s -> %d", source.name, SinkLabel(sink), result);
  }
}

}  // namespace

EngineCounters& Counters() {
  return State().counters;
}

void InstallEngine() {
  using namespace GameOffset;
  CheckImageCoversEntryTable();
  const std::pair<std::uintptr_t, const void*> stubs[] = {
      {kLookupFormById, reinterpret_cast<const void*>(&LookupFormById)},
      {kGameDynamicCast, reinterpret_cast<const void*>(&GameDynamicCast)},
      {kLockFormTable, reinterpret_cast<const void*>(&LockFormTable)},
      {kUnlockFormTable, reinterpret_cast<const void*>(&UnlockFormTable)},
      {kGetKeptForm, reinterpret_cast<const void*>(&GetKeptForm)},
      {kGetFormHolder, reinterpret_cast<const void*>(&GetFormHolder)},
      {kBeginErase, reinterpret_cast<const void*>(&BeginErase)},
      {kFinishErase, reinterpret_cast<const void*>(&FinishErase)},
      {kEraseVForm, reinterpret_cast<const void*>(&EraseVForm)},
      {kFindAttachedList, reinterpret_cast<const void*>(&FindAttachedList)},
      {kMatchesMarker, reinterpret_cast<const void*>(&MatchesMarker)},
      {kAttachSink, reinterpret_cast<const void*>(&AttachSink)},
      {kDetachSink, reinterpret_cast<const void*>(&DetachSink)},
      {kGetPlayerUpdateEventSource, reinterpret_cast<const void*>(&GetPlayerUpdateEventSource)},
  };
  for (const auto& [offset, target] : stubs) InstallJumpStub(offset, target);
  WriteDataSlot(kFormTableSlot, &State().table);
}

unsigned char* NewBlock(std::size_t bytes) {
  // Large worlds allocate millions of forms: carve them out of big zeroed chunks.
  static unsigned char* chunk = nullptr;
  static std::size_t left = 0;
  bytes = (bytes + 15) & ~std::size_t{15};
  if (bytes > left) {
    const std::size_t chunkBytes = bytes > (64u << 20) ? bytes : (64u << 20);
    chunk = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, chunkBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (chunk == nullptr) {
      std::fprintf(stderr, "sim: out of memory\n");
      std::exit(91);
    }
    left = chunkBytes;
  }
  unsigned char* block = chunk;
  chunk += bytes;
  left -= bytes;
  return block;
}

unsigned char* NewBlockFaultingAt(std::size_t faultAt) {
  constexpr std::size_t kPage = 4096;
  auto* pages = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD oldProtection = 0;
  VirtualProtect(pages + kPage, kPage, PAGE_NOACCESS, &oldProtection);
  return pages + kPage - faultAt;
}

unsigned char* NewForm(std::uint32_t formId, std::uint8_t type, std::size_t bytes,
                       std::size_t faultAt) {
  unsigned char* form = faultAt ? NewBlockFaultingAt(faultAt) : NewBlock(bytes);
  std::uint64_t*& vtable = State().vtables[type];
  if (vtable == nullptr) {
    vtable = reinterpret_cast<std::uint64_t*>(NewBlock(48 * sizeof(std::uint64_t)));
    for (int slot = 0; slot < 40; ++slot) {
      vtable[slot] = reinterpret_cast<std::uint64_t>(&UnexpectedVirtual);
    }
    vtable[34] = reinterpret_cast<std::uint64_t>(&GetFormTypeVirtual);
    vtable[40] = type;
  }
  Put(form, 0, vtable);
  Put(form, Member::kFormId, formId);
  if (State().recordForms) {
    State().formIndex[form] = State().forms.size();
    State().forms.push_back({form, type, ""});
  }
  return form;
}

void SetRecordForms(bool on) {
  State().recordForms = on;
}

void SetFormNote(void* form, const char* note) {
  const auto found = State().formIndex.find(form);
  if (found != State().formIndex.end()) State().forms[found->second].note = note;
}

void RegisterForLookup(std::uint32_t formId, void* form) {
  State().lookup[formId] = form;
}

std::uint32_t FormIdAt(const void* form) {
  return Get<std::uint32_t>(form, Member::kFormId);
}

TableSlot* NewSlotArray(std::uint64_t count) {
  const std::size_t bytes = static_cast<std::size_t>(count ? count : 1) * sizeof(TableSlot);
  auto* slots = static_cast<TableSlot*>(
      VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  State().slotArrayBytes[slots] = bytes;
  return slots;
}

void SetFormTable(TableSlot* slots, std::uint64_t count, std::uint32_t emptinessWord) {
  State().table.slots = slots;
  State().table.count = count;
  State().table.emptinessWord = emptinessWord;
  WriteDataSlot(GameOffset::kFormTableSlot, &State().table);
}

void RemoveFormTable() {
  WriteDataSlot(GameOffset::kFormTableSlot, nullptr);
}

void MoveSlotArray() {
  FormTableObject& table = State().table;
  TableSlot* old = table.slots;
  TableSlot* moved = NewSlotArray(table.count);
  std::memcpy(moved, old, static_cast<std::size_t>(table.count) * sizeof(TableSlot));
  table.slots = moved;
  DWORD oldProtection = 0;
  VirtualProtect(old, State().slotArrayBytes[old], PAGE_NOACCESS, &oldProtection);
  Trace("slot-array-moved");
}

void ShrinkSlotCount(std::uint64_t by) {
  State().table.count = State().table.count > by ? State().table.count - by : 0;
  Trace("slot-count %llu", static_cast<unsigned long long>(State().table.count));
}

void SetOutpostMarker(void* marker) {
  WriteDataSlot(GameOffset::kOutpostMarkerSlot, marker);
}
void SetKeptFormSource(void* source) {
  WriteDataSlot(GameOffset::kKeptFormSourceSlot, source);
}
void SetEraseHook(std::function<void(std::uint64_t)> hook) {
  State().eraseHook = std::move(hook);
}

void* LoadGameEventSourceAddress() {
  return GameAddress(GameOffset::kLoadGameEventSource);
}
void DispatchLoadGame() {
  Dispatch(State().loadGame);
}
const std::vector<void*>& PlayerUpdateSinks() {
  return State().playerUpdate.sinks;
}
void DispatchPlayerUpdate() {
  Dispatch(State().playerUpdate);
}

void CallSinkDestructorEntries(unsigned flags) {
  using DestructorEntryFn = void* (*)(void* self, unsigned flags);
  std::map<std::string, const void*> byLabel;  // S1, S2, ... in the order first seen
  for (const auto& [sink, label] : State().sinkLabels) byLabel[label] = sink;
  for (const auto& [label, sink] : byLabel) {
    auto* self = const_cast<void*>(sink);
    const auto* vtable = Get<void* const*>(self, 0);
    void* result = reinterpret_cast<DestructorEntryFn>(vtable[0])(self, flags);
    Trace("slot0 %s flags=%u -> %s", label.c_str(), flags, result == self ? "self" : "other");
  }
}

void PrintFormSummary() {
  std::map<std::string, std::pair<unsigned, unsigned>> byRule;  // erased, kept
  for (const FormRecord& record : State().forms) {
    if (record.note.empty()) continue;
    const bool erased = Get<std::uint8_t>(record.form, Member::kSimFlags) & kFlagErased;
    std::string key = std::string(1, static_cast<char>(record.type)) + " " + record.note;
    for (char& c : key) c = c == '_' ? ' ' : c;
    (erased ? byRule[key].first : byRule[key].second)++;
  }
  for (const auto& [rule, counts] : byRule) {
    Trace("  %-54s erased %5u  kept %5u", rule.c_str(), counts.first, counts.second);
  }
  Trace("  erase calls: %llu; table lock taken %llu times, released %llu times",
        static_cast<unsigned long long>(State().counters.erasures),
        static_cast<unsigned long long>(State().counters.locks),
        static_cast<unsigned long long>(State().counters.unlocks));
}

}  // namespace sim
