// Cost per slot of the cleaning pass on a large table, next to a floor walk that only reads
// each slot, each form's FormId and calls its GetFormType. One table per process:
//   pass_bench.exe [--log2-slots N] [--prior-erased M]
// With --prior-erased, a first pass erases M forms of another table before the measured
// pass runs over this one (so the erased record already holds M FormIds).
// Prints one line of key=value figures; bench/run.sh repeats processes and takes medians.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "sim/engine_data.h"
#include "sim/engine_stubs.h"
#include "sim/event_sources.h"
#include "sim/faulting_pages.h"
#include "sim/forms.h"
#include "sim/game_memory.h"
#include "sim/protocol.h"

namespace {

using sim::Member::AttachmentHolder;
using sim::Member::BaseObject;

struct Pools {
  std::vector<void*> runtimeBases, loadedBases, loadedEightBases;
  void* holderNamed = nullptr;
  void* outpostHolder = nullptr;
  void* listMarkedParent = nullptr;
};

Pools MakePools() {
  Pools pools;
  void* eight = sim::NewForm(0x00000800, '8', 0x30);
  for (std::uint32_t i = 0; i < 256; ++i) {
    pools.runtimeBases.push_back(sim::NewForm(0xFFF00000u | i, 'S', 0x138));
    pools.loadedBases.push_back(sim::NewForm(0x00F00000u | i, 'S', 0x138));
    pools.loadedEightBases.push_back(sim::NewForm(0x00F10000u | i, 'S', 0x138));
    sim::Put<void*>(pools.loadedEightBases.back(), sim::Member::BaseRelatedForm, eight);
  }
  // An attachment holder whose list names one item.
  unsigned char* block = sim::NewBlock(0x30);
  unsigned char* entries = sim::NewBlock(24);
  sim::Put<void*>(entries, 0, sim::NewBlock(16));
  sim::Put<void*>(entries, 8, sim::NewBlock(16));
  sim::Put<std::uint32_t>(block, sim::Member::AttachedCount, 1);
  sim::Put<void*>(block, sim::Member::AttachedEntries, entries);
  pools.holderNamed = sim::NewBlock(16);
  sim::Put<void*>(pools.holderNamed, 0, block);
  // A marker holder with one item that matches the outpost marker.
  static unsigned char marker[64];
  sim::SetOutpostMarker(marker);
  unsigned char* item = sim::NewBlock(16);
  sim::Put<void*>(item, 0, marker);
  auto** items = reinterpret_cast<void**>(sim::NewBlock(8));
  items[0] = item;
  pools.outpostHolder = sim::NewBlock(0x90);
  sim::Put<std::uint32_t>(pools.outpostHolder, sim::Member::MarkerItemCount, 1);
  sim::Put<void*>(pools.outpostHolder, sim::Member::MarkerItems, items);
  // A parent whose cast list holds the list-marker form.
  void* listMarker = sim::NewForm(0x0020C59F, 'L', 0x30);
  sim::RegisterForLookup(0x0020C59F, listMarker);
  unsigned char* castParent = sim::NewBlock(0x30);
  auto** castEntries = reinterpret_cast<void**>(sim::NewBlock(8));
  castEntries[0] = listMarker;
  sim::Put<std::uint32_t>(castParent, sim::Member::CastListCount, 1);
  sim::Put<void*>(castParent, sim::Member::CastList, castEntries);
  pools.listMarkedParent = sim::NewBlock(0x180);
  sim::Put<void*>(pools.listMarkedParent, 0, castParent);
  sim::SetKeptFormSource(sim::NewBlock(16));
  return pools;
}

// About 71.5% of the slots hold a live form (1.5 million of 2^21); a quarter of the live
// forms are run-time-created, mixed across the types and exemptions.
unsigned runtimePercent = 25;
std::string typeMix = "KKKJJJVVVX";

void* MakeForm(std::mt19937& random, const Pools& pools, std::uint32_t& runtimeId,
               std::uint32_t& loadedId) {
  const unsigned roll = random() % 100;
  const char type = typeMix[random() % typeMix.size()];
  if (random() % 100 >= runtimePercent)
    return sim::NewForm(loadedId++, static_cast<std::uint8_t>(type), 0x30);
  const std::uint32_t formId = runtimeId++;
  if (type == 'K' || type == 'J') {
    void* form = sim::NewForm(formId, static_cast<std::uint8_t>(type), 0xD0);
    const auto& bases = roll < 60   ? pools.runtimeBases
                        : roll < 75 ? pools.loadedEightBases
                                    : pools.loadedBases;
    sim::Put<void*>(form, BaseObject, bases[random() % bases.size()]);
    if (roll >= 90) sim::Put<void*>(form, AttachmentHolder, pools.holderNamed);
    if (roll >= 85 && roll < 90) sim::Put<std::uint8_t>(form, sim::Member::SimFlags, sim::FlagHeld);
    return form;
  }
  if (type == 'V') {
    void* form = sim::NewForm(formId, 'V', sim::Member::FormBytes);
    if (roll < 20) sim::Put<void*>(form, sim::Member::MarkerHolderA, pools.outpostHolder);
    if (roll >= 20 && roll < 30)
      sim::Put<void*>(form, sim::Member::ParentObject, pools.listMarkedParent);
    return form;
  }
  return sim::NewForm(formId, 'X', 0x30);
}

// Forms are allocated one after another, as the game creates them, but lie in the table in
// hash order: each form goes to a random slot, so walking the slots visits memory at random.
sim::TableSlot* BuildTable(std::uint64_t slotCount, unsigned seed, const Pools& pools,
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
    void* form = MakeForm(random, pools, runtimeId, loadedId);
    slots[positions[i]] = {sim::FormIdAt(form), 0, form, 0, 0};
  }
  return slots;
}

// The least any walk must do: each slot, each form's FormId, one GetFormType call.
std::uint64_t FloorWalk(const sim::TableSlot* slots, std::uint64_t count) {
  using GetFormTypeFn = std::uint64_t (*)(const void*);
  std::uint64_t sum = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const sim::TableSlot& slot = slots[i];
    if (slot.state == sim::EmptySlot || slot.form == nullptr) continue;
    const auto* vtable = sim::Get<const unsigned char*>(slot.form, 0);
    const auto getFormType = sim::Get<GetFormTypeFn>(vtable, 0x110);
    sum += sim::FormIdAt(slot.form) + (getFormType(slot.form) & 0xFF);
  }
  return sum;
}

std::wstring Widen(const char* text) {
  return std::wstring(text, text + std::strlen(text));
}

double TimedPass() {
  const auto start = std::chrono::steady_clock::now();
  sim::DispatchLoadGame();
  return bench::SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  // --pair A.dll B.dll: both builds in this process, each walking the same table in turn
  // (A's pass, then B's, at each load), so that both meet the same state of the machine.
  std::vector<std::wstring> paired;
  int log2Slots = 21;
  long priorErased = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--log2-slots")) log2Slots = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--prior-erased")) priorErased = std::atol(argv[i + 1]);
    if (!std::strcmp(argv[i], "--runtime-percent")) runtimePercent = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--types")) typeMix = argv[i + 1];
    if (!std::strcmp(argv[i], "--pair") && i + 2 < argc) {
      paired = {Widen(argv[i + 1]), Widen(argv[i + 2])};
      ++i;
    }
  }
  if (!(paired.empty() ? bench::StartArmedPlugin() : bench::StartArmedPlugins(paired))) {
    std::fprintf(stderr, "bench: cannot start the plugin\n");
    return 1;
  }
  const Pools pools = MakePools();
  const std::uint64_t count = std::uint64_t{1} << log2Slots;
  sim::TableSlot* slots = BuildTable(count, 42, pools, 0xFF000000u, 0x00100000u, 0.715);

  if (priorErased > 0) {
    // Another table whose erasable forms fill the erased record first.
    sim::TableSlot* prior = BuildTable(static_cast<std::uint64_t>(priorErased) * 6, 7, pools,
                                       0xFF800000u, 0x00800000u, 1.0);
    sim::SetFormTable(prior, static_cast<std::uint64_t>(priorErased) * 6, 0);
    TimedPass();
  }
  const std::uint64_t erasedBefore = sim::Counters().erasures;
  sim::SetFormTable(slots, count, 0xFFFFFFFF);

  // The machine's memory speed drifts over seconds (a shared virtual machine), so each pass
  // is held against floor walks taken just before and just after it.
  std::uint64_t checksum = 0;
  const auto floorNow = [&] {
    std::vector<double> floors;
    for (int i = 0; i < 3; ++i) {
      const auto start = std::chrono::steady_clock::now();
      checksum += FloorWalk(slots, count);
      floors.push_back(bench::SecondsSince(start));
    }
    return bench::Median(floors);
  };
  const double floorBefore = floorNow();
  if (!paired.empty()) {
    sim::DispatchLoadGame();
    sim::DispatchLoadGame();
    const auto& held = sim::LockHeldSeconds();
    if (held.size() != 4) return 1;
    std::printf(
        "slots=%llu runtime_percent=%u first_a_ms=%.3f first_b_ms=%.3f "
        "second_a_ms=%.3f second_b_ms=%.3f first_b_over_a=%.4f second_b_over_a=%.4f\n",
        static_cast<unsigned long long>(count), runtimePercent, held[0] * 1e3, held[1] * 1e3,
        held[2] * 1e3, held[3] * 1e3, held[1] / held[0], held[3] / held[2]);
    return 0;
  }
  // Each pass: the whole event (preconditions, walk, report), and the time the lock was held.
  const double first = TimedPass();
  const double firstLock = sim::LockHeldSeconds().back();
  const std::uint64_t erasedByFirst = sim::Counters().erasures - erasedBefore;
  const double floorBetween = floorNow();
  const double second = priorErased > 0 ? 0 : TimedPass();
  const double secondLock = priorErased > 0 ? 0 : sim::LockHeldSeconds().back();
  const double floorAfter = floorNow();
  const double firstFloor = (floorBefore + floorBetween) / 2;
  const double secondFloor = (floorBetween + floorAfter) / 2;
  const double floor = (floorBefore + floorBetween + floorAfter) / 3;
  const double perSlot = 1e9 / static_cast<double>(count);
  std::printf(
      "slots=%llu runtime_percent=%u prior_erased=%llu erased=%llu floor_ns=%.3f pass_ns=%.3f "
      "second_ns=%.3f pass_ratio=%.3f second_ratio=%.3f lock1_ms=%.3f lock2_ms=%.3f "
      "lock1_ratio=%.3f lock2_ratio=%.3f outside1_us=%.1f outside2_us=%.1f checksum=%llu\n",
      static_cast<unsigned long long>(count), runtimePercent,
      static_cast<unsigned long long>(erasedBefore), static_cast<unsigned long long>(erasedByFirst),
      floor * perSlot, first * perSlot, second * perSlot, first / firstFloor, second / secondFloor,
      firstLock * 1e3, secondLock * 1e3, firstLock / firstFloor, secondLock / secondFloor,
      (first - firstLock) * 1e6, (second - secondLock) * 1e6,
      static_cast<unsigned long long>(checksum % 1000));
  return 0;
}
