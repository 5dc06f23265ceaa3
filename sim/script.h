// Runs a scenario: world lines build the game's data, action lines play the loader and
// the game against the real plugin DLL. The vocabulary is listed in sim/README.md.
#pragma once

#include <string>

namespace sim {

// Returns 0 when every line ran, 2 on a malformed line (reported on stderr).
int RunScript(const std::string& script, const std::wstring& pluginPath);

}  // namespace sim
