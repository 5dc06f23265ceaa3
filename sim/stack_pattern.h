// Before the simulator calls into the plugin, it fills the stack below its own frame with
// 0xFF bytes. The plugin's frames then lie on that pattern, so that a 4-byte store into an
// 8-byte argument slot leaves the pattern visible in the upper half, where chance would
// otherwise often leave zeros, and the engine stubs, which check all 64 bits, see it.
#pragma once

namespace sim {

void FillStackBelowWithPattern();

}  // namespace sim
