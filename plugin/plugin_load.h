// The loader's entry into the plugin.
#pragma once

#include <cstdint>

#include "plugin/loader_interface.h"

extern std::uint32_t PluginHandle;

// Called once by the loader at game start. True when the plugin started (armed or idle).
extern "C" bool VKRXPlugin_Load(const LoaderInterface* loader);
