// The loader's reading of the plugin file: its export directory, walked by hand as the loader
// does, and the version record it exports.
#pragma once

#include <stdint.h>

struct LoaderInterface;
using PluginLoadFunction = bool (*)(const LoaderInterface* loader);

struct PluginExports {
  const char* moduleName = nullptr;
  uint32_t ordinalBase = 0;
  uint32_t nameCount = 0;
  uint32_t loadOrdinal = 0;     // 0: not exported by name
  uint32_t versionOrdinal = 0;  // 0: not exported by name
  PluginLoadFunction load = nullptr;
  const unsigned char* versionRecord = nullptr;
  uint64_t imageSize = 0;
};

PluginExports WalkExports(const unsigned char* module);

// Checks what the loader relies on in the exports and the version record; true when the
// loader can go on to call VKRXPlugin_Load.
bool CheckExportsAndVersionRecord(const PluginExports& exports);
