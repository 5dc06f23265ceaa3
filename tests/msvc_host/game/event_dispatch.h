// The game dispatching its two events: to every sink attached to the source, in order, by an
// ordinary virtual call (through the register thunk for the plugin's sinks).
#pragma once

#include <stdint.h>

// The part of the engine-call record that one event's dispatch produced.
struct CallWindow {
  uint32_t from;
  uint32_t to;
};

CallWindow DispatchLoadGame(const char* step);
CallWindow DispatchPlayerUpdate(const char* step);
// Advances the plugin's clock by the nanoseconds, then dispatches a player update.
CallWindow PlayerUpdateAfter(int64_t nanoseconds, const char* step);

// One check line each: every HandleEvent of the plugin's sinks returned 0 in its low 32
// bits, and the game's own sinks got every event.
void CheckEventResults();
