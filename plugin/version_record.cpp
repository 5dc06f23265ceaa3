#include "host/version_record.h"

#include "host/host_entry_table.h"
#include "plugin_identity.h"

namespace {

// The loader's packing: bits 31-24 major, 23-16 minor, 15-4 build, 3-0 sub-build.
static_assert(PLUGIN_VERSION_MAJOR <= 0xFF && PLUGIN_VERSION_MINOR <= 0xFF,
              "project(VERSION) does not fit the loader's packing");
static_assert(PLUGIN_VERSION_BUILD <= 0xFFF && PLUGIN_VERSION_SUB_BUILD <= 0xF,
              "project(VERSION) does not fit the loader's packing");
constexpr std::uint32_t PackedPluginVersion =
    (std::uint32_t{PLUGIN_VERSION_MAJOR} << 24) | (std::uint32_t{PLUGIN_VERSION_MINOR} << 16) |
    (std::uint32_t{PLUGIN_VERSION_BUILD} << 4) | std::uint32_t{PLUGIN_VERSION_SUB_BUILD};

}  // namespace

// Constant data: it lies in the image as laid out here, and nothing ever changes it.
extern "C" constinit const VersionRecord VKRXPlugin_Version = {
    .recordVersion = 1,
    .pluginVersion = PackedPluginVersion,
    .displayName = PLUGIN_DISPLAY_NAME,
    .authorName = PLUGIN_AUTHOR,
    .flagWordA = 0,
    .flagWordB = 0,
    .compatibleGameVersions = {SupportedGameVersion},
    .trailingWords = {0, 0, 0},
};
