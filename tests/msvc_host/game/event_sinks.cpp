#include "game/event_sinks.h"

#include "game/engine_calls.h"

// No C runtime: the placement form is this program's own, and no sink is ever deleted (the
// deleting destructor that the table of a class with a virtual destructor refers to needs the
// operator to exist, and a call of it is a fault).
void* operator new(size_t, void* where) noexcept {
  return where;
}
void operator delete(void*) noexcept {
  NoteFault(ContractFault::UnexpectedCall, "operator delete (a sink was deleted)");
}
void operator delete(void*, size_t) noexcept {
  NoteFault(ContractFault::UnexpectedCall, "operator delete (a sink was deleted)");
}

ZKTEventDetail::SinkBase::~SinkBase() = default;

bool EventSource::Holds(const ZKTEventDetail::SinkBase* sink) const {
  for (uint32_t i = 0; i < count; ++i) {
    if (sinks[i] == sink) return true;
  }
  return false;
}

template <class Event>
int32_t GameOwnSink<Event>::HandleEvent(const Event*, EventSource*) {
  ++delivered;
  return 0;
}

namespace {

// Built in place at first use and never destroyed: a static object with a destructor would
// need the C runtime's atexit.
template <class Sink>
Sink& BuiltOnce(unsigned char* space, bool& built) {
  if (!built) {
    new (space) Sink();
    built = true;
  }
  return *reinterpret_cast<Sink*>(space);
}

alignas(8) unsigned char loadGameSinkSpace[sizeof(GameOwnSink<NVALoadGameEvent>)];
alignas(8) unsigned char playerUpdateSinkSpace[sizeof(GameOwnSink<PlayerUpdateEvent>)];
bool loadGameSinkBuilt = false;
bool playerUpdateSinkBuilt = false;

}  // namespace

GameOwnSink<NVALoadGameEvent>& GameOwnLoadGameSink() {
  return BuiltOnce<GameOwnSink<NVALoadGameEvent>>(loadGameSinkSpace, loadGameSinkBuilt);
}

GameOwnSink<PlayerUpdateEvent>& GameOwnPlayerUpdateSink() {
  return BuiltOnce<GameOwnSink<PlayerUpdateEvent>>(playerUpdateSinkSpace, playerUpdateSinkBuilt);
}

extern "C" uint64_t DeliverLoadGameEvent(ZKTEventSink<NVALoadGameEvent>* sink,
                                         const NVALoadGameEvent* event, EventSource* source) {
  return static_cast<uint32_t>(sink->HandleEvent(event, source));
}

extern "C" uint64_t DeliverPlayerUpdateEvent(ZKTEventSink<PlayerUpdateEvent>* sink,
                                             const PlayerUpdateEvent* event, EventSource* source) {
  return static_cast<uint32_t>(sink->HandleEvent(event, source));
}
