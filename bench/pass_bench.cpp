// Cost of the cleaning pass on a large table, held against two floor walks (floor_walks.h)
// timed just before and just after each pass. One table per process:
//   pass_bench.exe [--log2-slots N] [--runtime-percent P] [--types MIX] [--world game|small]
//                  [--prefetch-burst F] [--prefetch-distance D] [--drop-erased 0|1]
//                  [--prior-erased M] [--lists-blocked 0|1] [--pair A.dll B.dll]
// --world: the shape of the world (bench_world.h); game by default.
// --prefetch-distance D: the same-lines floor asks for the members of upcoming forms one form
//   at a time, D slots ahead (24 by default, as the pass did before its bursts).
// --prefetch-burst F: instead, in bursts of up to F forms from at most 16 F slots, into the
//   L2, as the pass does now (32 forms, 512 slots).
// --drop-erased 1: the forms the first pass erased leave the table before the second pass
//   (by default they stay listed, as the game keeps them until the save is reloaded).
// --prior-erased M: a first pass erases M forms of another table before the measured pass
//   runs over this one (so the erased record already holds M FormIds); no second pass.
// --lists-blocked 1: the plugin may not create its lists of erased and of kept forms (the
//   simulator refuses them, as a folder's permissions would), so that the load event writes
//   no list (against a run with the lists, what writing them costs).
// --pair: both builds in this process, each walking the same table in turn.
// Prints one line of key=value figures; bench/run.sh repeats processes and takes medians.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/bench_world.h"
#include "bench/floor_walks.h"
#include "sim/engine_data.h"
#include "sim/engine_stubs.h"
#include "sim/event_sources.h"
#include "sim/protocol.h"

namespace {

struct Options {
  int log2Slots = 21;
  long priorErased = 0;
  bench::WorldSettings world;
  bench::PrefetchScheme prefetch;
  bool dropErased = false;
  bool listsBlocked = false;
  std::vector<std::wstring> paired;
};

std::wstring Widen(const char* text) {
  return std::wstring(text, text + std::strlen(text));
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[i + 1];
    if (name == "--log2-slots") {
      options.log2Slots = std::atoi(value);
    } else if (name == "--prior-erased") {
      options.priorErased = std::atol(value);
    } else if (name == "--runtime-percent") {
      options.world.runtimePercent = static_cast<unsigned>(std::atoi(value));
    } else if (name == "--types") {
      options.world.typeMix = value;
    } else if (name == "--world" && (!std::strcmp(value, "game") || !std::strcmp(value, "small"))) {
      options.world.shape = value[0] == 'g' ? bench::WorldShape::Game : bench::WorldShape::Small;
    } else if (name == "--prefetch-burst") {
      options.prefetch.burstForms = std::strtoull(value, nullptr, 10);
      options.prefetch.burstSlots = 16 * options.prefetch.burstForms;
      options.prefetch.distance = 0;
    } else if (name == "--prefetch-distance") {
      options.prefetch = {0, 0, std::strtoull(value, nullptr, 10)};
    } else if (name == "--drop-erased") {
      options.dropErased = std::atoi(value) != 0;
    } else if (name == "--lists-blocked") {
      options.listsBlocked = std::atoi(value) != 0;
    } else if (name == "--pair" && i + 2 < argc) {
      options.paired = {Widen(value), Widen(argv[i + 2])};
      ++i;
    } else {
      return false;
    }
  }
  return options.log2Slots > 0 && options.log2Slots < 32 && !options.world.typeMix.empty() &&
         options.prefetch.burstForms <= bench::MaxBurstForms;
}

// The forms the first pass erased leave the table, as after a save and a reload.
void DropErasedForms(sim::TableSlot* slots, std::uint64_t count) {
  for (std::uint64_t i = 0; i < count; ++i) {
    if (slots[i].state == sim::EmptySlot || slots[i].form == nullptr) continue;
    if (sim::Get<std::uint8_t>(slots[i].form, sim::Member::SimFlags) & sim::FlagErased) {
      slots[i] = {0, 0, nullptr, sim::EmptySlot, 0};
    }
  }
}

double PeakMemoryMiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
}

// Both floors as one pass sees the table (which FormIds it finds erased), each the median
// of three walks, interleaved.
struct Floors {
  double naive, sameLines;
};

double Mean(double a, double b) {
  return (a + b) / 2;
}

double TimedPass() {
  const auto start = std::chrono::steady_clock::now();
  sim::DispatchLoadGame();
  return bench::SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const auto processStart = std::chrono::steady_clock::now();
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "bench: bad options (see the top of bench/pass_bench.cpp)\n");
    return 2;
  }
  const std::vector<std::wstring>& paired = options.paired;
  if (!(paired.empty() ? bench::StartArmedPlugin(options.listsBlocked)
                       : bench::StartArmedPlugins(paired, options.listsBlocked))) {
    std::fprintf(stderr, "bench: cannot start the plugin\n");
    return 1;
  }
  bench::WorldBuilder builder(options.world);
  const std::uint64_t count = std::uint64_t{1} << options.log2Slots;
  sim::TableSlot* slots = builder.BuildTable(count, 42, 0xFF000000u, 0x00100000u, 0.715);

  bench::ErasedIds erasedBeforeFirst;
  if (options.priorErased > 0) {
    // Another table whose erasable forms fill the erased record first.
    const auto priorCount = static_cast<std::uint64_t>(options.priorErased) * 6;
    sim::TableSlot* prior = builder.BuildTable(priorCount, 7, 0xFF800000u, 0x00800000u, 1.0);
    sim::SetFormTable(prior, priorCount, 0);
    TimedPass();
    erasedBeforeFirst.AddErasedForms(prior, priorCount);
  }
  const std::uint64_t erasedBefore = sim::Counters().erasures;
  sim::SetFormTable(slots, count, 0xFFFFFFFF);
  const double buildSeconds = bench::SecondsSince(processStart);
  const char* worldName = options.world.shape == bench::WorldShape::Game ? "game" : "small";

  if (!paired.empty()) {
    sim::DispatchLoadGame();
    if (options.dropErased) DropErasedForms(slots, count);
    sim::DispatchLoadGame();
    const auto& held = sim::LockHeldSeconds();
    if (held.size() != 4) return 1;
    std::printf(
        "slots=%llu runtime_percent=%u world=%s drop_erased=%d first_a_ms=%.3f first_b_ms=%.3f "
        "second_a_ms=%.3f second_b_ms=%.3f first_b_over_a=%.4f second_b_over_a=%.4f "
        "build_s=%.1f peak_mib=%.0f\n",
        static_cast<unsigned long long>(count), options.world.runtimePercent, worldName,
        options.dropErased ? 1 : 0, held[0] * 1e3, held[1] * 1e3, held[2] * 1e3, held[3] * 1e3,
        held[1] / held[0], held[3] / held[2], buildSeconds, PeakMemoryMiB());
    return 0;
  }

  // The machine's memory speed drifts over seconds (a shared virtual machine), so each pass
  // is held against floors walked just before and just after it.
  const bench::FormBytesByType formBytes = builder.RuntimeFormBytes();
  std::uint64_t checksum = 0;
  const auto floorsNow = [&](const bench::ErasedIds& erased) {
    std::vector<double> naive, sameLines;
    for (int i = 0; i < 3; ++i) {
      auto start = std::chrono::steady_clock::now();
      checksum += bench::NaiveFloorWalk(slots, count);
      naive.push_back(bench::SecondsSince(start));
      start = std::chrono::steady_clock::now();
      checksum += bench::SameLinesFloorWalk(slots, count, erased, formBytes, options.prefetch);
      sameLines.push_back(bench::SecondsSince(start));
    }
    return Floors{bench::Median(naive), bench::Median(sameLines)};
  };
  const bool secondPass = options.priorErased == 0;

  // Each pass: the whole event (preconditions, walk, report), and the time the lock was held.
  const Floors beforeFirst = floorsNow(erasedBeforeFirst);
  const double first = TimedPass();
  const double firstLock = sim::LockHeldSeconds().back();
  const std::uint64_t erasedByFirst = sim::Counters().erasures - erasedBefore;
  const Floors afterFirst = floorsNow(erasedBeforeFirst);
  bench::ErasedIds erasedBeforeSecond = erasedBeforeFirst;
  erasedBeforeSecond.AddErasedForms(slots, count);
  if (options.dropErased) DropErasedForms(slots, count);
  Floors beforeSecond{}, afterSecond{};
  double second = 0, secondLock = 0;
  if (secondPass) {
    beforeSecond = floorsNow(erasedBeforeSecond);
    second = TimedPass();
    secondLock = sim::LockHeldSeconds().back();
    afterSecond = floorsNow(erasedBeforeSecond);
  }
  const double naive1 = Mean(beforeFirst.naive, afterFirst.naive);
  const double same1 = Mean(beforeFirst.sameLines, afterFirst.sameLines);
  const double naive2 = Mean(beforeSecond.naive, afterSecond.naive);
  const double same2 = Mean(beforeSecond.sameLines, afterSecond.sameLines);
  const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
  const double perSlot = 1e9 / static_cast<double>(count);
  char prefetchName[48];
  if (options.prefetch.burstForms == 0) {
    std::snprintf(prefetchName, sizeof prefetchName, "distance:%llu",
                  static_cast<unsigned long long>(options.prefetch.distance));
  } else {
    std::snprintf(prefetchName, sizeof prefetchName, "burst:%llu:%llu",
                  static_cast<unsigned long long>(options.prefetch.burstForms),
                  static_cast<unsigned long long>(options.prefetch.burstSlots));
  }
  std::printf(
      "slots=%llu runtime_percent=%u world=%s prefetch=%s drop_erased=%d lists_blocked=%d "
      "prior_erased=%llu erased=%llu floor_ns=%.3f same_ns=%.3f pass_ns=%.3f second_ns=%.3f "
      "pass_ratio=%.3f second_ratio=%.3f lock1_ms=%.3f lock2_ms=%.3f lock1_ratio=%.3f "
      "lock2_ratio=%.3f lock1_same_ratio=%.3f lock2_same_ratio=%.3f same1_over_naive=%.3f "
      "same2_over_naive=%.3f outside1_us=%.1f outside2_us=%.1f build_s=%.1f total_s=%.1f "
      "peak_mib=%.0f checksum=%llu\n",
      static_cast<unsigned long long>(count), options.world.runtimePercent, worldName, prefetchName,
      options.dropErased ? 1 : 0, options.listsBlocked ? 1 : 0,
      static_cast<unsigned long long>(erasedBefore), static_cast<unsigned long long>(erasedByFirst),
      naive1 * perSlot, same1 * perSlot, first * perSlot, second * perSlot, ratio(first, naive1),
      ratio(second, naive2), firstLock * 1e3, secondLock * 1e3, ratio(firstLock, naive1),
      ratio(secondLock, naive2), ratio(firstLock, same1), ratio(secondLock, same2),
      ratio(same1, naive1), ratio(same2, naive2), (first - firstLock) * 1e6,
      (second - secondLock) * 1e6, buildSeconds, bench::SecondsSince(processStart), PeakMemoryMiB(),
      static_cast<unsigned long long>(checksum % 1000));
  return 0;
}
