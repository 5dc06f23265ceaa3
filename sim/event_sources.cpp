#include "sim/event_sources.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "sim/game_memory.h"
#include "sim/host_image.h"
#include "sim/protocol.h"
#include "sim/stack_pattern.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct EventSource {
  const char* name;
  std::vector<void*> sinks;
};

EventSource loadGame{"load-game", {}};
EventSource playerUpdate{"player-update", {}};
std::map<const void*, std::string> sinkLabels;  // S1, S2, ... in the order first seen
std::function<void()> onDetach;

const char* SinkLabel(const void* sink) {
  auto found = sinkLabels.find(sink);
  if (found == sinkLabels.end()) {
    found = sinkLabels.emplace(sink, "S" + std::to_string(sinkLabels.size() + 1)).first;
  }
  return found->second.c_str();
}

EventSource* SourceAt(void* address) {
  if (address == LoadGameEventSourceAddress()) return &loadGame;
  if (address == &playerUpdate) return &playerUpdate;
  return nullptr;
}

void Dispatch(EventSource& source) {
  using HandleEventFn = std::int32_t (*)(void* self, const void* event, void* dispatcher);
  unsigned char event[64] = {};
  const std::vector<void*> sinks = source.sinks;  // a handler may detach itself
  for (void* sink : sinks) {
    const auto* table = Get<void* const*>(sink, 0);
    FillStackBelowWithPattern();
    const std::int32_t result = reinterpret_cast<HandleEventFn>(table[1])(sink, event, &source);
    Trace("dispatched %s %s -> %d", source.name, SinkLabel(sink), result);
  }
}

}  // namespace

void* LoadGameEventSourceAddress() {
  return GameAddress(GameOffset::LoadGameEventSource);
}

void* PlayerUpdateEventSourceAddress() {
  return &playerUpdate;
}

bool AttachToSource(void* source, void* sink) {
  EventSource* target = SourceAt(source);
  if (target == nullptr) return false;
  Trace("attach %s %s", target->name, SinkLabel(sink));
  target->sinks.push_back(sink);
  return true;
}

bool DetachFromSource(void* source, void* sink) {
  EventSource* target = SourceAt(source);
  if (target == nullptr) return false;
  Trace("detach %s %s", target->name, SinkLabel(sink));
  if (std::erase(target->sinks, sink) == 0) ProtocolError("detach-not-attached");
  if (onDetach) onDetach();
  return true;
}

void OnDetach(std::function<void()> action) {
  onDetach = std::move(action);
}

const std::vector<void*>& PlayerUpdateSinks() {
  return playerUpdate.sinks;
}

void DispatchLoadGame() {
  Dispatch(loadGame);
}

void DispatchPlayerUpdate() {
  Dispatch(playerUpdate);
}

void CallSinkDestructorEntries(unsigned flags) {
  using DestructorEntryFn = void* (*)(void* self, unsigned flags);
  std::map<std::string, const void*> byLabel;
  for (const auto& [sink, label] : sinkLabels) byLabel[label] = sink;
  for (const auto& [label, sink] : byLabel) {
    auto* self = const_cast<void*>(sink);
    const auto* table = Get<void* const*>(self, 0);
    void* result = reinterpret_cast<DestructorEntryFn>(table[0])(self, flags);
    Trace("slot0 %s flags=%u -> %s", label.c_str(), flags, result == self ? "self" : "other");
  }
}

}  // namespace sim
