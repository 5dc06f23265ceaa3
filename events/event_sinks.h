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

  // The engine holds the sinks' addresses: they are never copied or moved.
  SinkBase(const SinkBase&) = delete;
  SinkBase& operator=(const SinkBase&) = delete;
  SinkBase(SinkBase&&) = delete;
  SinkBase& operator=(SinkBase&&) = delete;

 protected:
  ~SinkBase() = default;
};

}  // namespace ZKTEventDetail

template <class Event>
class ZKTEventSink : public ZKTEventDetail::SinkBase {
 public:
  constexpr ZKTEventSink() = default;

  // Slot 1: the engine delivers one event. The base does nothing.
  virtual std::int32_t HandleEvent(const Event* /*event*/, void* /*source*/) { return 0; }

  ZKTEventSink(const ZKTEventSink&) = delete;
  ZKTEventSink& operator=(const ZKTEventSink&) = delete;
  ZKTEventSink(ZKTEventSink&&) = delete;
  ZKTEventSink& operator=(ZKTEventSink&&) = delete;

 protected:
  ~ZKTEventSink() = default;
};

namespace Events {

// No C++ virtual destructor, on purpose: the engine's table has one destructor entry
// (slot 0, above), and GCC would give a virtual destructor two.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class SaveClean_NVALoadGameEventClass final : public ZKTEventSink<NVALoadGameEvent> {
 public:
  constexpr SaveClean_NVALoadGameEventClass() = default;
  std::int32_t HandleEvent(const NVALoadGameEvent* /*event*/, void* /*source*/) override;
};

// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): as above
class SaveClean_PlayerUpdateEventClass final : public ZKTEventSink<PlayerUpdateEvent> {
 public:
  constexpr SaveClean_PlayerUpdateEventClass() = default;
  std::int32_t HandleEvent(const PlayerUpdateEvent* /*event*/, void* /*source*/) override;
};

}  // namespace Events

extern constinit Events::SaveClean_NVALoadGameEventClass LoadGameSink;
extern constinit Events::SaveClean_PlayerUpdateEventClass PlayerUpdateSink;
