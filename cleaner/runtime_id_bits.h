// One bit for each run-time FormId (top byte 0xFF): 2^24 bits, 2 MiB. The erased record
// answers membership with such a bitmap; the pass tally keeps a second one after a restart.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t RuntimeIdWords = (std::size_t{1} << 24) / 64;

inline std::size_t RuntimeIdWord(std::uint32_t formId) {
  return (formId & 0x00FFFFFF) >> 6;
}

inline std::uint64_t RuntimeIdBit(std::uint32_t formId) {
  return std::uint64_t{1} << (formId & 63);
}
