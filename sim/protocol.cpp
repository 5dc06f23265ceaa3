#include "sim/protocol.h"

#include "sim/trace.h"

namespace sim {

EngineCounters& Counters() {
  static EngineCounters counters;
  return counters;
}

void ProtocolError(const char* what, std::uint32_t formId) {
  ++Counters().protocolErrors;
  Trace("error %s %08X", what, formId);
}

}  // namespace sim
