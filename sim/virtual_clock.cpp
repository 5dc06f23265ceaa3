#include "sim/virtual_clock.h"

namespace sim {
namespace {
std::int64_t clockNs = 0;
std::int64_t counterFrequency = 1'000'000'000;
std::int64_t uptimeAtZero = 0;
}  // namespace

void SetPerformanceCounter(std::int64_t ticksPerSecond, std::int64_t uptimeSeconds) {
  counterFrequency = ticksPerSecond;
  uptimeAtZero = uptimeSeconds;
}

std::int64_t PerformanceCounterTicks() {
  // The clock's nanoseconds at the counter's frequency, whole ticks: seconds first, so that no
  // product passes 64 bits (the frequency stays under 9.2 GHz).
  constexpr std::int64_t NsPerSecond = 1'000'000'000;
  return (uptimeAtZero + clockNs / NsPerSecond) * counterFrequency +
         clockNs % NsPerSecond * counterFrequency / NsPerSecond;
}

std::int64_t PerformanceCounterFrequency() {
  return counterFrequency;
}

void SetVirtualClockNs(std::int64_t ns) {
  clockNs = ns;
}

std::int64_t VirtualClockNs() {
  return clockNs;
}

void AdvanceVirtualClock(std::int64_t ns) {
  clockNs += ns;
}

}  // namespace sim
