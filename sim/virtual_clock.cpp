#include "sim/virtual_clock.h"

namespace sim {
namespace {
std::int64_t clockNs = 0;
}  // namespace

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
