// Checks over the engine-call record of a run: the loader's handshake, the sinks' attachment,
// each cleaning pass, each form's erasure, and how every engine function was called.
#pragma once

#include "game/engine_calls.h"
#include "game/event_dispatch.h"
#include "game/game_start.h"
#include "game/world.h"

// The index of the first call of the function with `argument` at `position` in the window,
// or `window.to` when there is none.
uint32_t FirstCall(EngineFunction function, uint32_t position, uint64_t argument,
                   CallWindow window);

// VKRXPlugin_Load of an armed start: the handle first, service 1, one listener with that handle
// and the sender "VKRX" after the start-up notice was closed, and true.
void CheckArmedHandshake(const GameStart& start);
// The message of type 2: the load-game sink attached, then the player-update source fetched
// once and the player-update sink attached to it.
void CheckSinksAttached(const GameStart& start, CallWindow window);
// One pass: the table lock taken once and released once, every erase call under it.
void CheckPassUnderLock(const char* name, CallWindow window);
// One line for each listed form: erased by the load the world expects, in the right calls, and
// not at the other load.
void CheckErasures(const World& world, Outposts outposts, CallWindow first, CallWindow second);
// GameDynamicCast: every call's fifth-argument slot lay in stack painted after the plugin's
// previous engine call, and the second and fifth arguments were 64-bit zeros.
void CheckCasts(uint32_t atLeast);
// Alignment at entry, byte arguments, other arguments, unexpected calls.
void CheckEngineContract();
