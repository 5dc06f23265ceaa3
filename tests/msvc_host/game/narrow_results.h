// Results as optimised MSVC code may leave them in RAX: a narrow result only in its low bits,
// whatever the function last held above them.
#pragma once

#include <stdint.h>

inline constexpr uint64_t GarbageAbove = 0xC0DE5EED7AB1E500;

// A byte or bool result: the byte in bits 0 to 7, garbage in bits 8 to 63.
inline constexpr uint64_t NarrowResult(uint8_t value) {
  return GarbageAbove | value;
}

// What a function that returns nothing leaves in RAX.
inline constexpr uint64_t NoResult = GarbageAbove | 0x5A;

// GetFormHolder's answer for a held form: non-zero only in bits 32 to 63.
inline constexpr uint64_t HeldAnswer = 0xA5A5A5A500000000;
