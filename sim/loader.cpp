#include "sim/loader.h"

#include <cstdio>
#include <vector>

#include "sim/plugin_imports.h"
#include "sim/stack_pattern.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct LoaderInterfaceRecord {
  unsigned char unused[0x10];
  void* (*lookupService)(std::uint32_t);
  std::uint32_t (*acquirePluginHandle)();
};

using Listener = void (*)(void* message);

struct MessagingRecord {
  void* unused;
  bool (*addMessageListener)(std::uint32_t, const char*, Listener);
};

HMODULE plugin = nullptr;
std::vector<Listener> listeners;

bool AddMessageListener(std::uint32_t handle, const char* sender, Listener listener) {
  Trace("add-listener handle=%u sender=%s listener=%d", handle, sender ? sender : "(null)",
        listener != nullptr);
  listeners.push_back(listener);
  return true;
}

void* LookupService(std::uint32_t serviceId) {
  static MessagingRecord messaging{};
  Trace("lookup-service %u", serviceId);
  if (Options().messagingMissing || serviceId != 1) return nullptr;
  messaging.addMessageListener = Options().listenerSlotMissing ? nullptr : &AddMessageListener;
  return &messaging;
}

std::uint32_t AcquirePluginHandle() {
  Trace("acquire-handle -> 7");
  return 7;
}

}  // namespace

LoaderOptions& Options() {
  static LoaderOptions options;
  return options;
}

bool LoadPluginLibrary(const std::wstring& path) {
  plugin = LoadLibraryW(path.c_str());
  if (plugin == nullptr) {
    std::fprintf(stderr, "sim: cannot load %ls (error %lu)\n", path.c_str(), GetLastError());
    return false;
  }
  PatchPluginImports(plugin);
  return true;
}

HMODULE PluginModule() {
  return plugin;
}

bool CallPluginLoad() {
  using LoadFn = bool (*)(const LoaderInterfaceRecord*);
  static LoaderInterfaceRecord loader{};
  loader.lookupService = Options().lookupServiceMissing ? nullptr : &LookupService;
  loader.acquirePluginHandle = &AcquirePluginHandle;
  const auto load =
      reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "VKRXPlugin_Load")));
  if (load == nullptr) {
    Trace("error no-load-export 00000000");
    return false;
  }
  FillStackBelowWithPattern();
  const bool result = load(&loader);
  Trace("load -> %d", result);
  return result;
}

void SendLoaderMessage(std::uint32_t type) {
  struct {
    std::uint64_t sender;
    std::uint32_t type;
    std::uint32_t dataLength;
    void* data;
  } message{0x5858, type, 0, nullptr};
  Trace("message %u", type);
  for (Listener listener : listeners) {
    FillStackBelowWithPattern();
    listener(&message);
  }
}

void SendNullLoaderMessage() {
  Trace("message null");
  for (Listener listener : listeners) {
    FillStackBelowWithPattern();
    listener(nullptr);
  }
}

}  // namespace sim
