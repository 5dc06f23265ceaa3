// Reading and writing one key of a profile (INI) file in the settings folder, only through
// the Windows profile functions.
#pragma once

#include <string>

#include "host/plugin_folder.h"

// Relative to the game's current directory; the plugin never creates it.
inline constexpr const char* SettingsFolder = PluginFolder;

// The value text, or empty when the file, section or key is missing or a name is empty.
std::string ReadProfileValue(const std::string& baseName, const std::string& section,
                             const std::string& key);

// Writes the key, then reports whether the file now holds exactly that value.
bool WriteProfileValue(const std::string& baseName, const std::string& section,
                       const std::string& key, const std::string& value);
