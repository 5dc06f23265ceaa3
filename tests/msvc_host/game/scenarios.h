// The runs of the game, one process each: every scenario starts the game afresh, as a player
// does, so that the plugin's static state begins as the library's initialisation leaves it.
#pragma once

#include "game/world.h"

// A whole cleaning run: armed start, two loads over the world of every rule, both notices, the
// disarm, a third load that no longer reaches the plugin.
void RunArmedCleaning(Outposts outposts);
// A start with bPluginActive=0: Load returns true and does nothing more.
void RunIdleStart();
// A first load with the game's outpost-marker slot null: the line-572 fatal box, then
// TerminateProcess(GetCurrentProcess(), 0), intercepted.
void RunFatalFirstLoad();
// The classification path on a minimal world, entered from stack the host has just painted.
void RunCastWidth();
