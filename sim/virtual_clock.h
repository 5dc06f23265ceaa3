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

}  // namespace sim
