// The game's two event sources: the load-game source at its fixed offset and the
// player-update source GetPlayerUpdateEventSource returns. Dispatch calls each attached
// sink through slot 1 of its raw virtual table, as the engine does.
#pragma once

#include <functional>
#include <vector>

namespace sim {

void* LoadGameEventSourceAddress();
void* PlayerUpdateEventSourceAddress();

// The engine's AttachSink and DetachSink; false for an address that is no event source.
// Detaching a sink that is not attached is a protocol error.
bool AttachToSource(void* source, void* sink);
bool DetachFromSource(void* source, void* sink);

// Runs `action` each time a sink is detached, after recording it.
void OnDetach(std::function<void()> action);

// The sinks the plugin attached to the player-update source, in attach order.
const std::vector<void*>& PlayerUpdateSinks();
void DispatchLoadGame();
void DispatchPlayerUpdate();
// Calls slot 0 of every sink attached so far, as the engine's destructor entry would.
void CallSinkDestructorEntries(unsigned flags);

}  // namespace sim
