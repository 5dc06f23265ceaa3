#include "sim/checked.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace sim {

void Require(bool ok, const char* what) {
  if (ok) return;
  const DWORD error = GetLastError();
  std::fprintf(stderr, "rig: %s failed (Windows error %lu)\n", what, error);
  std::fflush(stderr);
  std::exit(94);
}

}  // namespace sim
