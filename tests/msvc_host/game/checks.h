// Every check prints one line through the glue. Before each step that may crash (a call into
// the plugin, above all), the game side names it, so that a crash report says which one.
#pragma once

#include "game/text.h"

void Check(const char* name, bool passed, const char* detail = "");
void Check(const char* name, bool passed, const Line& detail);
void BeginStep(const char* step);
