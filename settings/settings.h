// The two switches of KelvarionSaveCleaner.ini: read once at load, and the one write that
// disarms the plugin at the end of a run.
#pragma once

// False until ReadSettings runs; only ReadSettings writes them.
extern bool bPluginActive;
extern bool bEraseOutposts;

// Reads section "General" of the settings file: a key is true only when its text is "1".
void ReadSettings();

// Writes bPluginActive = "0" and reads it back: true when the file now holds it. The
// in-memory switches are not changed.
bool DisarmPlugin();
