#include "plugin/version_record.h"

// Constant data: it lies in the image as laid out here, and nothing ever changes it.
extern "C" constinit const VersionRecord VKRXPlugin_Version = {
    .recordVersion = 1,
    .pluginVersion = 0x02000000,
    .displayName = "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek",
    .authorName = "Tovenmarek",
    .flagWordA = 0,
    .flagWordB = 0,
    .compatibleGameVersions = {0x010F0D80},  // game 1.15.216.0, the build the offsets fit
    .trailingWords = {0, 0, 0},
};

std::string VersionText(std::uint32_t packedVersion) {
  return std::to_string((packedVersion >> 24) & 0xFF) + "." +
         std::to_string((packedVersion >> 16) & 0xFF);
}
