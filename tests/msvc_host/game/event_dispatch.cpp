#include "game/event_dispatch.h"

#include "game/checks.h"
#include "game/engine_calls.h"
#include "game/game_objects.h"
#include "game/register_thunk.h"
#include "seam.h"

namespace {

uint32_t loadGameDispatches = 0;
uint32_t playerUpdateDispatches = 0;
uint32_t pluginHandleEventCalls = 0;
uint32_t nonZeroResults = 0;

template <class Event>
void Dispatch(EventSource& source, PluginCallKind kind,
              uint64_t (*deliver)(ZKTEventSink<Event>*, const Event*, EventSource*),
              ZKTEventDetail::SinkBase* gameOwnSink) {
  // A sink may detach itself or another while the event runs: deliver to those attached at
  // the start.
  ZKTEventDetail::SinkBase* sinks[EventSource::Capacity];
  const uint32_t count = source.count;
  for (uint32_t i = 0; i < count; ++i) sinks[i] = source.sinks[i];
  const Event event{
      {0x1111111111111111, 0x2222222222222222, 0x3333333333333333, 0x4444444444444444}};
  for (uint32_t i = 0; i < count; ++i) {
    auto* sink = static_cast<ZKTEventSink<Event>*>(sinks[i]);
    if (sinks[i] == gameOwnSink) {
      deliver(sink, &event, &source);
      continue;
    }
    ++pluginHandleEventCalls;
    const uint64_t result = CallPluginKeepingRegisters(kind, reinterpret_cast<const void*>(deliver),
                                                       sink, &event, &source);
    if (static_cast<uint32_t>(result) != 0) ++nonZeroResults;
  }
}

}  // namespace

CallWindow DispatchLoadGame(const char* step) {
  BeginStep(step);
  CallWindow window{EngineCallCount(), 0};
  ++loadGameDispatches;
  Dispatch<NVALoadGameEvent>(LoadGameSource(), PluginCallKind::LoadGameEvent, &DeliverLoadGameEvent,
                             &GameOwnLoadGameSink());
  window.to = EngineCallCount();
  return window;
}

CallWindow DispatchPlayerUpdate(const char* step) {
  BeginStep(step);
  CallWindow window{EngineCallCount(), 0};
  ++playerUpdateDispatches;
  Dispatch<PlayerUpdateEvent>(Game().playerUpdateSource, PluginCallKind::PlayerUpdateEvent,
                              &DeliverPlayerUpdateEvent, &GameOwnPlayerUpdateSink());
  window.to = EngineCallCount();
  return window;
}

CallWindow PlayerUpdateAfter(int64_t nanoseconds, const char* step) {
  GlueAdvanceClock(nanoseconds);
  return DispatchPlayerUpdate(step);
}

void CheckEventResults() {
  Line results;
  results.Decimal(nonZeroResults)
      .Add(" of ")
      .Decimal(pluginHandleEventCalls)
      .Add(" call(s) returned non-zero");
  Check("Events: every HandleEvent of the plugin's sinks returned 0",
        pluginHandleEventCalls != 0 && nonZeroResults == 0, results);
  Line delivered;
  delivered.Add("load-game ")
      .Decimal(GameOwnLoadGameSink().delivered)
      .Add(" of ")
      .Decimal(loadGameDispatches)
      .Add(", player-update ")
      .Decimal(GameOwnPlayerUpdateSink().delivered)
      .Add(" of ")
      .Decimal(playerUpdateDispatches);
  Check("Events: the game's own sinks got every event beside the plugin's",
        GameOwnLoadGameSink().delivered == loadGameDispatches &&
            GameOwnPlayerUpdateSink().delivered == playerUpdateDispatches,
        delivered);
}
