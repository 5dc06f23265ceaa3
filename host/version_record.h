// The record the VKRX loader reads from the plugin's export VKRXPlugin_Version. The exported
// definition lives with the entry point (plugin/); the boxes read its name and version.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct VersionRecord {
  std::uint32_t recordVersion;
  std::uint32_t pluginVersion;  // bits 31-24 major, 23-16 minor, 15-4 build, 3-0 sub-build
  char displayName[256];
  char authorName[256];
  std::uint32_t flagWordA;
  std::uint32_t flagWordB;
  std::uint32_t compatibleGameVersions[16];  // ends at the first 0 entry
  std::uint32_t trailingWords[3];
};
static_assert(sizeof(VersionRecord) == 0x25C, "the loader reads exactly 0x25C bytes");
static_assert(offsetof(VersionRecord, compatibleGameVersions) == 0x210);

extern "C" const VersionRecord VKRXPlugin_Version;

// "major.minor" in decimal from a packed version, e.g. 0x02000000 gives "2.0".
std::string VersionText(std::uint32_t packedVersion);
