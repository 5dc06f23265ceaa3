#include "plugin/plugin_load.h"

#include <windows.h>

#include "events/loader_listener.h"
#include "host/engine.h"
#include "notices/notices.h"
#include "settings/settings.h"

std::uint32_t PluginHandle = 0;

namespace {

constexpr const char* ArmedNotice =
    "Kelvarion Save Cleaner is active "
    "(..\\Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini\\bPluginActive).\n\n"
    "Please load a Save Game.";

bool Load(const LoaderInterface& loader) {
  PluginHandle = loader.AcquirePluginHandle();

  const HMODULE game = GetModuleHandleW(nullptr);
  if (game == nullptr) {
    ReportFatalError("VKRXPlugin_Load", 687,
                     "Installation error: Kelvarion.exe handle couldn't be acquired");
    return false;
  }
  ModuleBase = reinterpret_cast<std::uintptr_t>(game);

  ReadSettings();
  if (!bPluginActive) return true;  // Idle: nothing shown, nothing registered.

  ShowNotice(ArmedNotice);
  const auto* messaging =
      static_cast<const MessagingService*>(loader.LookupService(MessagingServiceId));
  // A loader without a usable messaging service cannot drive the run: report that the
  // plugin did not start instead of calling through null.
  if (messaging == nullptr || messaging->AddMessageListener == nullptr) return false;
  messaging->AddMessageListener(PluginHandle, "VKRX", HandleLoaderMessage);
  return true;
}

}  // namespace

extern "C" bool VKRXPlugin_Load(const LoaderInterface* loader) {
  if (loader == nullptr || loader->AcquirePluginHandle == nullptr) return false;
  try {
    return Load(*loader);
  } catch (...) {
    return false;  // No exception may unwind into the loader.
  }
}
