#pragma once

#include <string>

namespace sim {

// The demonstration's world lines: a few thousand forms covering every rule, each with the
// reason the rules must keep it (or `expect=erase`).
std::string DemonstrationWorld();

// A synthetic world of a few thousand forms covering every rule, played as one full
// two-load cleaning run against the real plugin with the shipped settings file, told as a
// player would see it. With a results folder, the report and the settings file as the run
// left them are copied there.
int RunDemonstration(const std::wstring& pluginPath, const std::wstring& resultsFolder);

}  // namespace sim
