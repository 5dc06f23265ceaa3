#include "events/event_sinks.h"

#include <chrono>

#include "events/load_game_handler.h"
#include "events/phase_monitor.h"

static_assert(sizeof(Events::SaveClean_NVALoadGameEventClass) == sizeof(void*),
              "a sink is its table pointer alone");
static_assert(sizeof(Events::SaveClean_PlayerUpdateEventClass) == sizeof(void*),
              "a sink is its table pointer alone");

constinit Events::SaveClean_NVALoadGameEventClass LoadGameSink;
constinit Events::SaveClean_PlayerUpdateEventClass PlayerUpdateSink;

ZKTEventDetail::SinkBase* ZKTEventDetail::SinkBase::DestructorEntry(unsigned /*flags*/) {
  return this;
}

namespace Events {

std::int32_t SaveClean_NVALoadGameEventClass::HandleEvent(const NVALoadGameEvent* /*event*/,
                                                          void* /*source*/) {
  try {
    HandleNVALoadGameEvent();
  } catch (...) {
    // Nothing may unwind into the engine's dispatch; the handler already turned a failed
    // pass into the fatal path, so what is left here has no further use.
  }
  return 0;
}

std::int32_t SaveClean_PlayerUpdateEventClass::HandleEvent(const PlayerUpdateEvent* /*event*/,
                                                           void* /*source*/) {
  try {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    RunPhaseMonitor(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  } catch (...) {
  }
  return 0;
}

}  // namespace Events
