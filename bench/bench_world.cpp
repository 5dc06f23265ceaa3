#include "bench/bench_world.h"

#include <algorithm>

#include "sim/engine_data.h"
#include "sim/faulting_pages.h"
#include "sim/forms.h"

namespace bench {
namespace {

constexpr std::size_t GameCleanedFormBytes = 0x300;  // 'K', 'J' and 'V' forms
constexpr std::size_t GameOtherFormBytes = 0x100;
constexpr std::size_t SmallFormBytes = 0x30;  // loaded forms, and run-time ones of other types
constexpr std::size_t SmallFormWithBaseBytes = 0xD0;  // run-time 'K' and 'J' forms
constexpr std::size_t BaseBytes = 0x138;  // the related form is the last member, at +0x130
constexpr std::uint32_t GameLoadedBasePool = 4096;

bool IsCleanedType(char type) {
  return type == 'K' || type == 'J' || type == 'V';
}

}  // namespace

WorldBuilder::WorldBuilder(const WorldSettings& settings) : settings_(settings) {
  if (settings_.shape == WorldShape::Small) {
    void* eight = sim::NewForm(0x00000800, '8', SmallFormBytes);
    for (std::uint32_t i = 0; i < 256; ++i) {
      runtimeBases_.push_back(sim::NewForm(0xFFF00000u | i, 'S', BaseBytes));
      loadedBases_.push_back(sim::NewForm(0x00F00000u | i, 'S', BaseBytes));
      loadedEightBases_.push_back(sim::NewForm(0x00F10000u | i, 'S', BaseBytes));
      sim::Put<void*>(loadedEightBases_.back(), sim::Member::BaseRelatedForm, eight);
    }
  } else {
    // 15 of the 40% of forms with a loaded base need an '8' related form: 3 bases in 8,
    // each with its own related form just after it.
    for (std::uint32_t i = 0; i < GameLoadedBasePool; ++i) {
      void* base = sim::NewForm(0x00F00000u | i, 'S', BaseBytes);
      if (i % 8 < 3) {
        sim::Put<void*>(base, sim::Member::BaseRelatedForm,
                        sim::NewForm(0x00F20000u | i, '8', GameOtherFormBytes));
        loadedEightBases_.push_back(base);
      } else {
        loadedBases_.push_back(base);
      }
    }
  }
  // An attachment holder whose list names one item.
  unsigned char* block = sim::NewBlock(0x30);
  unsigned char* entries = sim::NewBlock(24);
  sim::Put<void*>(entries, 0, sim::NewBlock(16));
  sim::Put<void*>(entries, 8, sim::NewBlock(16));
  sim::Put<std::uint32_t>(block, sim::Member::AttachedCount, 1);
  sim::Put<void*>(block, sim::Member::AttachedEntries, entries);
  holderNamed_ = sim::NewBlock(16);
  sim::Put<void*>(holderNamed_, 0, block);
  // A marker holder with one item that matches the outpost marker.
  static unsigned char marker[64];
  sim::SetOutpostMarker(marker);
  unsigned char* item = sim::NewBlock(16);
  sim::Put<void*>(item, 0, marker);
  auto** items = reinterpret_cast<void**>(sim::NewBlock(8));
  items[0] = item;
  outpostHolder_ = sim::NewBlock(0x90);
  sim::Put<std::uint32_t>(outpostHolder_, sim::Member::MarkerItemCount, 1);
  sim::Put<void*>(outpostHolder_, sim::Member::MarkerItems, items);
  // A parent whose cast list holds the list-marker form.
  void* listMarker = sim::NewForm(0x0020C59F, 'L', 0x30);
  sim::RegisterForLookup(0x0020C59F, listMarker);
  unsigned char* castParent = sim::NewBlock(0x30);
  auto** castEntries = reinterpret_cast<void**>(sim::NewBlock(8));
  castEntries[0] = listMarker;
  sim::Put<std::uint32_t>(castParent, sim::Member::CastListCount, 1);
  sim::Put<void*>(castParent, sim::Member::CastList, castEntries);
  listMarkedParent_ = sim::NewBlock(0x180);
  sim::Put<void*>(listMarkedParent_, 0, castParent);
  sim::SetKeptFormSource(sim::NewBlock(16));
}

std::size_t WorldBuilder::FormBytes(char type, bool runtime) const {
  if (settings_.shape == WorldShape::Game) {
    return IsCleanedType(type) ? GameCleanedFormBytes : GameOtherFormBytes;
  }
  if (!runtime) return SmallFormBytes;
  if (type == 'K' || type == 'J') return SmallFormWithBaseBytes;
  return type == 'V' ? sim::Member::FormBytes : SmallFormBytes;
}

void* WorldBuilder::RuntimeFormWithBase(std::mt19937& random, std::uint32_t formId, char type,
                                        unsigned roll) {
  void* form = sim::NewForm(formId, static_cast<std::uint8_t>(type), FormBytes(type, true));
  void* base = nullptr;
  if (settings_.shape == WorldShape::Game && roll < 60) {
    base = sim::NewForm(runtimeBaseId_++, 'S', BaseBytes);  // just after its form
  } else {
    const auto& bases = roll < 60 ? runtimeBases_ : roll < 75 ? loadedEightBases_ : loadedBases_;
    base = bases[random() % bases.size()];
  }
  sim::Put<void*>(form, sim::Member::BaseObject, base);
  if (roll >= 90) sim::Put<void*>(form, sim::Member::AttachmentHolder, holderNamed_);
  if (roll >= 85 && roll < 90) sim::Put<std::uint8_t>(form, sim::Member::SimFlags, sim::FlagHeld);
  return form;
}

void* WorldBuilder::MakeForm(std::mt19937& random, std::uint32_t& runtimeId,
                             std::uint32_t& loadedId) {
  const unsigned roll = random() % 100;
  const char type = settings_.typeMix[random() % settings_.typeMix.size()];
  if (random() % 100 >= settings_.runtimePercent) {
    return sim::NewForm(loadedId++, static_cast<std::uint8_t>(type), FormBytes(type, false));
  }
  const std::uint32_t formId = runtimeId++;
  if (type == 'K' || type == 'J') return RuntimeFormWithBase(random, formId, type, roll);
  if (type == 'V') {
    void* form = sim::NewForm(formId, 'V', FormBytes('V', true));
    if (roll < 20) sim::Put<void*>(form, sim::Member::MarkerHolderA, outpostHolder_);
    if (roll >= 20 && roll < 30)
      sim::Put<void*>(form, sim::Member::ParentObject, listMarkedParent_);
    return form;
  }
  return sim::NewForm(formId, 'X', FormBytes('X', true));
}

std::array<std::size_t, 256> WorldBuilder::RuntimeFormBytes() const {
  std::array<std::size_t, 256> bytes{};
  for (std::size_t type = 0; type < bytes.size(); ++type) {
    bytes[type] = FormBytes(static_cast<char>(type), true);
  }
  return bytes;
}

sim::TableSlot* WorldBuilder::BuildTable(std::uint64_t slotCount, unsigned seed,
                                         std::uint32_t runtimeStart, std::uint32_t loadedStart,
                                         double occupancy) {
  std::mt19937 random(seed);
  sim::TableSlot* slots = sim::NewSlotArray(slotCount);
  std::vector<std::uint32_t> positions(slotCount);
  for (std::uint64_t i = 0; i < slotCount; ++i) {
    positions[i] = static_cast<std::uint32_t>(i);
    slots[i] = {0, 0, nullptr, sim::EmptySlot, 0};
  }
  std::shuffle(positions.begin(), positions.end(), random);
  const auto live = static_cast<std::uint64_t>(static_cast<double>(slotCount) * occupancy);
  std::uint32_t runtimeId = runtimeStart, loadedId = loadedStart;
  for (std::uint64_t i = 0; i < live; ++i) {
    void* form = MakeForm(random, runtimeId, loadedId);
    slots[positions[i]] = {sim::FormIdAt(form), 0, form, 0, 0};
  }
  return slots;
}

}  // namespace bench
