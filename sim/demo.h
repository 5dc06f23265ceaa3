#pragma once

#include <string>

namespace sim {

// A synthetic world of a few thousand forms covering every rule, played as one full
// two-load cleaning run against the real plugin, told as a player would see it.
int RunDemonstration(const std::wstring& pluginPath);

}  // namespace sim
