#include "host/version_record.h"

#include "host/host_entry_table.h"
#include "host/plugin_identity.h"

namespace {

constexpr VersionParts PluginVersion{PLUGIN_VERSION_MAJOR, PLUGIN_VERSION_MINOR,
                                     PLUGIN_VERSION_BUILD, PLUGIN_VERSION_SUB_BUILD};
static_assert(UnpackVersion(PackVersion(PluginVersion)) == PluginVersion,
              "project(VERSION) does not fit the loader's packing");

}  // namespace

// Constant data: it lies in the image as laid out here, and nothing ever changes it.
extern "C" constinit const VersionRecord VKRXPlugin_Version = {
    .recordVersion = 1,
    .pluginVersion = PackVersion(PluginVersion),
    .displayName = PLUGIN_DISPLAY_NAME,
    .authorName = PLUGIN_AUTHOR,
    .flagWordA = 0,
    .flagWordB = 0,
    .compatibleGameVersions = {SupportedGameVersion},
    .trailingWords = {0, 0, 0},
};
