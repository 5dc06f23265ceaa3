// Runs a scenario: world lines build the game's data, action lines play the loader and
// the game against the real plugin DLL. The vocabulary is a table of verbs (scenario.cpp);
// sim/README.md shows it as `kelvarion_sim --vocabulary` prints it.
#pragma once

#include <string>

namespace sim {

// Returns 0 when every line ran, 2 on a malformed line (reported on stderr).
int RunScript(const std::string& script, const std::wstring& pluginPath);

class World;

// Applies world lines (only) to `world`. False, with `error` naming the line, otherwise.
bool BuildWorld(World& world, const std::string& lines, std::string& error);

// Prints the vocabulary (verbs, options, form attributes) as the Markdown tables of
// sim/README.md.
void PrintVocabulary();

}  // namespace sim
