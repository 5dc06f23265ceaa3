// Where the VKRX loader keeps its plugins, relative to the game's folder (the game process's
// current directory), and the base name of this plugin's files there.
#pragma once

inline constexpr const char* PluginFolder = ".\\Data\\VKRX\\Plugins\\";
inline constexpr const char* PluginFilesBaseName = "KelvarionSaveCleaner";
