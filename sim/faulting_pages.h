// Memory for the simulated game's objects: zeroed blocks that live as long as the program,
// and blocks whose tail lies on an unreadable page, so that reading a member there faults
// as it would on a game object the engine has half torn down.
#pragma once

#include <cstddef>

namespace sim {

unsigned char* NewBlock(std::size_t bytes);

// A block whose bytes from `faultAt` on lie on an unreadable page.
unsigned char* NewBlockFaultingAt(std::size_t faultAt);

// Every block handed out so far may be handed out again, zeroed (for a runner that builds
// table after table; nothing may still point into them).
void ReleaseAllBlocks();

}  // namespace sim
