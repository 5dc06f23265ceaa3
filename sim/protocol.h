// What the simulated engine counts and the breaches of its calling protocol it reports.
#pragma once

#include <cstdint>

namespace sim {

struct EngineCounters {
  std::uint64_t locks = 0, unlocks = 0, erasures = 0, protocolErrors = 0;
};

EngineCounters& Counters();

// Counts the breach and traces "error WHAT FORMID".
void ProtocolError(const char* what, std::uint32_t formId = 0);

}  // namespace sim
