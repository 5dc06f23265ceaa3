// The MSVC-ABI host: the game's and the loader's side of the plugin, compiled by clang in the
// Microsoft C++ ABI, around the real KelvarionSaveCleaner.dll. Without arguments it plays every
// scenario, each in a process of its own; "--scenario <name>" plays one in this process.
#include <cstdio>
#include <cstring>
#include <string>

#include "glue/glue.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--scenario") == 0) {
    return msvc_host::RunScenarioProcess(argv[2]);
  }
  if (argc != 1) {
    std::fprintf(stderr, "usage: msvc_host [--scenario <name>]\n");
    return 2;
  }
  return msvc_host::RunEveryScenario();
}
