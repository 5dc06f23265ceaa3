// The VKRX loader's side: the records it hands the plugin, its three functions, and the
// listeners the plugin registers with it.
#pragma once

#include <stdint.h>

#include "game/plugin_exports.h"

// The record whose address VKRXPlugin_Load receives. Bytes 0x00 to 0x0F are the loader's own.
struct LoaderInterface {
  unsigned char unread00[0x10];
  const void* lookupService;        // +0x10: (u32 service id) -> service record
  const void* acquirePluginHandle;  // +0x18: () -> u32 plugin handle
};

// The record LookupService gives for service 1.
struct MessagingService {
  const void* unread00;
  const void* addMessageListener;  // +0x08: (u32 handle, sender text, listener) -> bool
};

// A message as the loader delivers it; the plugin reads the type.
struct LoaderMessage {
  const char* sender;
  uint32_t type;  // +0x08
  uint32_t dataLength;
  const void* data;
};

using LoaderListener = void (*)(LoaderMessage* message);

// The plugin handle the loader gives out, and the order of the loader calls the plugin made.
inline constexpr uint32_t PluginHandle = 0x00000A17;

struct ListenerRegistration {
  uint32_t handle;
  const char* sender;
  LoaderListener listener;
  uint32_t boxesShownBefore;  // message boxes the plugin had shown when it registered
};

void PrepareLoaderRecords();
// Calls VKRXPlugin_Load through the register thunk; its bool result.
bool StartPlugin(const PluginExports& exports);
uint32_t ListenerCount();
const ListenerRegistration& ListenerAt(uint32_t index);
// Delivers one message of the type to every registered listener through the register thunk.
void SendLoaderMessage(uint32_t type);
