// The MSVC-ABI host's Windows glue: the program's entry, the scenario processes and the
// services the game side calls through seam.h. It holds no fact of the game's.
#pragma once

#include <string>

namespace msvc_host {

// Runs every scenario in a process of its own, relays their check lines, and prints the
// closing line "N passed, M failed"; 0 only when nothing failed.
int RunEveryScenario();

// Runs one scenario in this process, in a fresh game folder that is the current directory;
// prints its check lines and "end of <scenario>: N passed, M failed"; 0 when nothing failed.
int RunScenarioProcess(const std::string& scenario);

// The line that ends a scenario process's output, for the process that relays it.
std::string ScenarioEndLine(const std::string& scenario, unsigned passed, unsigned failed);

}  // namespace msvc_host
