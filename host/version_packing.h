// The loader's packing of a version into 32 bits: bits 31-24 major, 23-16 minor, 15-4 build,
// 3-0 sub-build. The plugin's own version and the game versions it works with are packed so.
#pragma once

#include <cstddef>
#include <cstdint>

struct VersionParts {
  std::uint32_t major, minor, build, subBuild;

  friend constexpr bool operator==(const VersionParts&, const VersionParts&) = default;
};

constexpr std::uint32_t PackVersion(const VersionParts& parts) noexcept {
  return (parts.major & 0xFF) << 24 | (parts.minor & 0xFF) << 16 | (parts.build & 0xFFF) << 4 |
         (parts.subBuild & 0xF);
}

constexpr VersionParts UnpackVersion(std::uint32_t packed) noexcept {
  return {packed >> 24, (packed >> 16) & 0xFF, (packed >> 4) & 0xFFF, packed & 0xF};
}

// "major.minor" in decimal, without leading zeros (0x02000000 gives "2.0"), as the caption of
// every box and the report show the plugin's version. Needs no allocation.
struct ShortVersionText {
  char text[8] = {};  // "255.255" and its NUL at most
};

constexpr ShortVersionText ShortVersion(std::uint32_t packed) noexcept {
  ShortVersionText version;
  std::size_t length = 0;
  const auto put = [&](std::uint32_t value) {
    if (value >= 100) version.text[length++] = static_cast<char>('0' + value / 100);
    if (value >= 10) version.text[length++] = static_cast<char>('0' + value / 10 % 10);
    version.text[length++] = static_cast<char>('0' + value % 10);
  };
  const VersionParts parts = UnpackVersion(packed);
  put(parts.major);
  version.text[length++] = '.';
  put(parts.minor);
  return version;
}
