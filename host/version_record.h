// The record the VKRX loader reads from the plugin's export VKRXPlugin_Version. Its definition
// (host/version_record.cpp) lies here, below the boxes and the report that read its name and
// version: they would otherwise link to plugin/, the top of the stack. plugin/exports.def
// exports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/version_packing.h"

struct VersionRecord {
  std::uint32_t recordVersion;
  std::uint32_t pluginVersion;  // PackVersion (version_packing.h)
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
inline std::string VersionText(std::uint32_t packedVersion) {
  return ShortVersion(packedVersion).text;
}
