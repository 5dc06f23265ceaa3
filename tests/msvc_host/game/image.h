// The game executable as far as the plugin sees it: a zeroed array inside this program's own
// image, so that the program's load address plus each of the game's offsets lands in memory
// the host controls. Engine functions are jumps at their offsets, engine data slots hold
// pointers to the host's objects.
#pragma once

#include <stdint.h>

unsigned char* GameAddress(uint64_t offset);

// The first check of every process: the array reaches from below the lowest offset to above
// the highest, so none of the program's own code or data lies where the game's would.
bool CheckImageCoversEveryOffset();

// A jump at the offset to `entry`.
void InstallEngineJump(uint64_t offset, void (*entry)());
void PutDataSlot(uint64_t offset, const void* value);
