// Checks of what the plugin showed and wrote: its message boxes, as the glue intercepted them,
// its settings file, and its calls of TerminateProcess.
#pragma once

#include <stdint.h>

// The box at `index` (0 the first) exists, is a MessageBoxW box when `wide` (MessageBoxA
// otherwise), has no owner, style 0 (MB_OK), the plugin's caption and exactly the text.
void CheckBox(const char* name, uint32_t index, bool wide, const char* text);
// The key's value in the settings file, now or (with `atBox` at or above 0) while that box was
// open, equals `expected`.
void CheckSetting(const char* name, const char* key, const char* expected, int32_t atBox = -1);
// How many boxes the plugin has shown so far equals `expected`.
void CheckBoxCount(const char* name, uint32_t expected);
