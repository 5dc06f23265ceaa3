#include "events/event_sinks.h"

#include <windows.h>

#include "events/load_game_handler.h"
#include "events/phase_monitor.h"

static_assert(sizeof(Events::SaveClean_NVALoadGameEventClass) == sizeof(void*),
              "a sink is its table pointer alone");
static_assert(sizeof(Events::SaveClean_PlayerUpdateEventClass) == sizeof(void*),
              "a sink is its table pointer alone");

constinit Events::SaveClean_NVALoadGameEventClass LoadGameSink;
constinit Events::SaveClean_PlayerUpdateEventClass PlayerUpdateSink;

namespace {

// The monotonic clock in nanoseconds, from the performance counter and its frequency as
// std::chrono::steady_clock reads them under GCC's posix threading model: whole seconds, then
// the rest rounded to the nearest nanosecond, so that no product overflows. The DLL is built
// with the Win32 model, whose steady clock is the system clock and can go back.
std::int64_t MonotonicNanoseconds() {
  constexpr std::int64_t NsPerSecond = 1'000'000'000;
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const std::int64_t perSecond = frequency.QuadPart;
  const std::int64_t seconds = counter.QuadPart / perSecond;
  const std::int64_t rest = counter.QuadPart % perSecond;
  return seconds * NsPerSecond + (rest * NsPerSecond + perSecond / 2) / perSecond;
}

}  // namespace

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
    RunPhaseMonitor(MonotonicNanoseconds());
  } catch (...) {
  }
  return 0;
}

}  // namespace Events
