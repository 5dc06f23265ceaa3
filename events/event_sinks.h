// The game's event-sink interface, laid out as the engine (built with MSVC) expects it:
// slot 0 the destructor entry, slot 1 HandleEvent returning a 32-bit result.
#pragma once

#include <cstdint>

struct NVALoadGameEvent;   // engine type, never read
struct PlayerUpdateEvent;  // engine type, never read

namespace ZKTEventDetail {

class SinkBase {
 public:
  constexpr SinkBase() = default;

  // Slot 0. MSVC gives a virtual destructor one slot (this, flags) -> this; a C++
  // destructor under GCC would take two and push HandleEvent out of slot 1. The sinks are
  // static objects, so this entry never frees anything.
  virtual SinkBase* DestructorEntry(unsigned flags);

 protected:
  ~SinkBase() = default;
};

}  // namespace ZKTEventDetail

template <class Event>
class ZKTEventSink : public ZKTEventDetail::SinkBase {
 public:
  constexpr ZKTEventSink() = default;

  // Slot 1: the engine delivers one event. The base does nothing.
  virtual std::int32_t HandleEvent(const Event*, void*) { return 0; }

 protected:
  ~ZKTEventSink() = default;
};

namespace Events {

class SaveClean_NVALoadGameEventClass final : public ZKTEventSink<NVALoadGameEvent> {
 public:
  constexpr SaveClean_NVALoadGameEventClass() = default;
  std::int32_t HandleEvent(const NVALoadGameEvent*, void*) override;
};

class SaveClean_PlayerUpdateEventClass final : public ZKTEventSink<PlayerUpdateEvent> {
 public:
  constexpr SaveClean_PlayerUpdateEventClass() = default;
  std::int32_t HandleEvent(const PlayerUpdateEvent*, void*) override;
};

}  // namespace Events

extern constinit Events::SaveClean_NVALoadGameEventClass LoadGameSink;
extern constinit Events::SaveClean_PlayerUpdateEventClass PlayerUpdateSink;
