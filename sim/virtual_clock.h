// The clock the plugin reads through its performance-counter imports (1 tick = 1 ns). The
// scenario sets it; every engine call advances it by a fixed tick, so that a pass takes
// time that can be checked to the nanosecond.
#pragma once

#include <cstdint>

namespace sim {

inline constexpr std::int64_t EngineCallTickNs = 1000;

void SetVirtualClockNs(std::int64_t ns);
std::int64_t VirtualClockNs();
void AdvanceVirtualClock(std::int64_t ns);

// The performance counter the plugin reads: `ticksPerSecond` ticks a second (1 GHz unless
// set, 9 GHz at most), and the machine's uptime at clock 0 in seconds (0 unless set): a counter
// that starts high, at another frequency, as on a player's machine after days of play.
void SetPerformanceCounter(std::int64_t ticksPerSecond, std::int64_t uptimeSeconds);
std::int64_t PerformanceCounterTicks();
std::int64_t PerformanceCounterFrequency();

}  // namespace sim
