// The two switches of KelvarionSaveCleaner.ini, read once at load.
#pragma once

// False until ReadSettings runs; only ReadSettings writes them.
extern bool bPluginActive;
extern bool bEraseOutposts;

// Reads section "General" of the settings file: a key is true only when its text is "1".
void ReadSettings();

inline constexpr const char* SettingsBaseName = "KelvarionSaveCleaner";
inline constexpr const char* SettingsSection = "General";
