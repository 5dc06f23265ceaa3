// The start of the game, up to the plugin's VKRXPlugin_Load: the host image checked and
// filled, the settings file written, the plugin loaded, its exports read.
#pragma once

#include "game/plugin_exports.h"

struct GameStart {
  bool reachedLoad = false;  // everything before VKRXPlugin_Load held; Load was called
  bool loadResult = false;
  PluginExports exports;
};

// `settings`: the settings file's bytes. Without `withOutpostMarker` the game's outpost-marker
// slot stays null.
void StartGame(const char* settings, bool withOutpostMarker, GameStart& start);

// Whether the address lies inside the plugin's loaded image.
bool InPlugin(const GameStart& start, uint64_t address);
