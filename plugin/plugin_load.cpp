// VKRXPlugin_Load: the loader's one call into the plugin at game start.
#include <windows.h>

#include <cstdint>

#include "cleaner/run_records.h"
#include "events/loader_listener.h"
#include "host/engine.h"
#include "host/loader_interface.h"
#include "notices/notices.h"
#include "report/report.h"
#include "settings/settings.h"

namespace {

// This plugin's identity towards the loader; used only to register the listener.
std::uint32_t PluginHandle = 0;

// Quoted exactly as players have always seen it, ".." path included.
constexpr const char* ArmedNotice =
    "Kelvarion Save Cleaner is active "
    "(..\\Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini\\bPluginActive).\n\n"
    "Please load a Save Game.";

// A fixed identifier players recognise, not a line of this file.
constexpr unsigned MissingModuleFatalLine = 687;

bool Load(const LoaderInterface& loader) {
  PluginHandle = loader.AcquirePluginHandle();

  const HMODULE game = GetModuleHandleW(nullptr);
  if (game == nullptr) {
    ReportFatalError("VKRXPlugin_Load", MissingModuleFatalLine,
                     "Installation error: Kelvarion.exe handle couldn't be acquired");
    return false;
  }
  // The module handle is the game's load address.
  ModuleBase = reinterpret_cast<std::uintptr_t>(game);  // NOLINT(*-reinterpret-cast)

  ReadSettings();
  if (!bPluginActive) return true;  // Idle: nothing shown, nothing registered, no report.

  // The records' room is taken now, so that no pass allocates while it holds the game's lock.
  StartReport(bEraseOutposts, ReserveRunRecords());
  ShowNotice(ArmedNotice);
  // A loader without a usable messaging service cannot drive the run: report that the
  // plugin did not start instead of calling through null.
  const auto* messaging =
      loader.LookupService == nullptr
          ? nullptr
          : static_cast<const MessagingService*>(loader.LookupService(MessagingServiceId));
  if (messaging == nullptr || messaging->AddMessageListener == nullptr) {
    ReportNoMessagingService();
    return false;
  }
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
