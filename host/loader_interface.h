// The VKRX loader's records, as far as the plugin reads them. The loader owns them.
#pragma once

#include <cstddef>
#include <cstdint>

struct LoaderMessage {
  std::uint8_t unread[8];
  std::uint32_t type;  // +0x08
};

using LoaderListener = void (*)(LoaderMessage* message);

struct MessagingService {
  void* unread;  // +0x00
  bool (*AddMessageListener)(std::uint32_t pluginHandle, const char* sender,
                             LoaderListener listener);  // +0x08
};

struct LoaderInterface {
  std::uint8_t unread[0x10];
  void* (*LookupService)(std::uint32_t serviceId);  // +0x10
  std::uint32_t (*AcquirePluginHandle)();           // +0x18
};

static_assert(offsetof(LoaderMessage, type) == 0x08);
static_assert(offsetof(MessagingService, AddMessageListener) == 0x08);
static_assert(offsetof(LoaderInterface, LookupService) == 0x10);
static_assert(offsetof(LoaderInterface, AcquirePluginHandle) == 0x18);

inline constexpr std::uint32_t MessagingServiceId = 1;
