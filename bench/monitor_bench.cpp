// Cost of one player update in the phase monitor's common (throttled) path, called through
// slot 1 of the sink's raw table as the engine does, next to a bare steady-clock reading.
//   monitor_bench.exe [--calls N]
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_support.h"
#include "sim/engine_data.h"
#include "sim/event_sources.h"
#include "sim/faulting_pages.h"
#include "sim/forms.h"
#include "sim/game_memory.h"
#include "sim/protocol.h"

int main(int argc, char** argv) {
  long calls = 2'000'000;
  if (argc == 3 && !std::strcmp(argv[1], "--calls")) calls = std::atol(argv[2]);
  if (!bench::StartArmedPlugin() || sim::PlayerUpdateSinks().empty()) {
    std::fprintf(stderr, "bench: cannot start the plugin\n");
    return 1;
  }
  void* sink = sim::PlayerUpdateSinks().front();
  using HandleEventFn = std::int32_t (*)(void*, const void*, void*);
  const auto handleEvent = reinterpret_cast<HandleEventFn>(sim::Get<void* const*>(sink, 0)[1]);
  unsigned char event[64] = {};

  std::vector<double> monitor, clock;
  std::int64_t sink64 = 0;
  for (int repetition = 0; repetition < 7; ++repetition) {
    auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) sink64 += handleEvent(sink, event, nullptr);
    monitor.push_back(bench::SecondsSince(start) * 1e9 / static_cast<double>(calls));
    start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) {
      sink64 += std::chrono::steady_clock::now().time_since_epoch().count() & 1;
    }
    clock.push_back(bench::SecondsSince(start) * 1e9 / static_cast<double>(calls));
  }
  const double monitorNs = bench::Median(monitor), clockNs = bench::Median(clock);
  std::printf("monitor_ns=%.2f clock_ns=%.2f added_ns=%.2f (%lld)\n", monitorNs, clockNs,
              monitorNs - clockNs, static_cast<long long>(sink64 % 2));
  return 0;
}
