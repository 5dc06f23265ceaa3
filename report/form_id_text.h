// FormIds as players see them in the game's console and in the plugin's files: 8 hex digits,
// upper case. Texts that name a fixed form are built from its FormId at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t FormIdDigits = 8;

// Writes the 8 digits at `out`; returns the end.
constexpr char* PutFormId(char* out, std::uint32_t formId) noexcept {
  constexpr char Digits[] = "0123456789ABCDEF";
  for (int shift = 28; shift >= 0; shift -= 4) *out++ = Digits[(formId >> shift) & 0xF];
  return out;
}

// `before`, the FormId, `after`, NUL-terminated (cut at 63 characters).
struct TextWithFormId {
  char text[64] = {};
};

constexpr TextWithFormId WithFormId(const char* before, std::uint32_t formId,
                                    const char* after) noexcept {
  TextWithFormId result;
  char* out = result.text;
  char* const last = result.text + sizeof result.text - 1;
  for (; *before != '\0' && out < last; ++before) *out++ = *before;
  if (out + FormIdDigits <= last) out = PutFormId(out, formId);
  for (; *after != '\0' && out < last; ++after) *out++ = *after;
  return result;
}
