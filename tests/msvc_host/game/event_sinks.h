// The game's event-sink interface, declared as the game declares it: a sink base class with a
// virtual destructor, and the sink template that adds HandleEvent. clang lays the table out
// in the Microsoft C++ ABI: the destructor in slot 0, HandleEvent in slot 1.
#pragma once

#include <stdint.h>

struct EventSource;

struct NVALoadGameEvent {
  uint64_t unread[4];
};
struct PlayerUpdateEvent {
  uint64_t unread[4];
};

namespace ZKTEventDetail {

class SinkBase {
 public:
  virtual ~SinkBase();
};

}  // namespace ZKTEventDetail

template <class Event>
class ZKTEventSink : public ZKTEventDetail::SinkBase {
 public:
  virtual int32_t HandleEvent(const Event* event, EventSource* source) {
    (void)event;
    (void)source;
    return 0;
  }
};

// An event source of the game: the sinks attached to it, in the order they came.
struct EventSource {
  static constexpr uint32_t Capacity = 8;
  ZKTEventDetail::SinkBase* sinks[Capacity];
  uint32_t count;

  bool Holds(const ZKTEventDetail::SinkBase* sink) const;
};

// The game's own sinks, attached to each source before any plugin's: they count what reaches
// them, which shows that a source delivers.
template <class Event>
class GameOwnSink final : public ZKTEventSink<Event> {
 public:
  int32_t HandleEvent(const Event* event, EventSource* source) override;
  uint32_t delivered = 0;
};

GameOwnSink<NVALoadGameEvent>& GameOwnLoadGameSink();
GameOwnSink<PlayerUpdateEvent>& GameOwnPlayerUpdateSink();

// The direct callees of the register thunk: each makes the event's virtual call and keeps
// the result, using no non-volatile register itself.
extern "C" uint64_t DeliverLoadGameEvent(ZKTEventSink<NVALoadGameEvent>* sink,
                                         const NVALoadGameEvent* event, EventSource* source);
extern "C" uint64_t DeliverPlayerUpdateEvent(ZKTEventSink<PlayerUpdateEvent>* sink,
                                             const PlayerUpdateEvent* event, EventSource* source);
