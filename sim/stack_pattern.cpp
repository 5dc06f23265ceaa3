#include "sim/stack_pattern.h"

#include <cstring>

namespace sim {

// Not inlined: the filled area must be this function's own frame, below the caller's, which
// the plugin's frames reuse once it returns.
[[gnu::noinline]] void FillStackBelowWithPattern() {
  unsigned char area[64 * 1024];
  std::memset(area, 0xFF, sizeof area);
  asm volatile("" : : "r"(area) : "memory");  // the stores must happen
}

}  // namespace sim
