#include "bench/bench_support.h"

#include <windows.h>

#include "sim/engine_stubs.h"
#include "sim/forms.h"
#include "sim/loader.h"
#include "sim/plugin_files.h"
#include "sim/program_files.h"
#include "sim/scratch_folder.h"
#include "sim/trace.h"

namespace bench {

bool StartArmedPlugin(bool listsBlocked) {
  return StartArmedPlugins({sim::BesideThisProgram(L"KelvarionSaveCleaner.dll")}, listsBlocked);
}

bool StartArmedPlugins(const std::vector<std::wstring>& plugins, bool listsBlocked) {
  // Static: the folder stays the game's current folder until the program ends, and is
  // removed after the current directory has left it.
  static const sim::ScratchGameFolder folder(L"bench");
  static const sim::CurrentDirectoryScope inGameFolder(folder.Path());
  folder.WriteSettings("[General]\r\nbPluginActive=1\r\n");
  // The simulator refuses to let the plugin create the lists of erased and of kept forms, as a
  // folder whose permissions forbid it would: the plugin writes no list at all.
  if (listsBlocked) {
    sim::DenyChanges(L".erased.");
    sim::DenyChanges(L".kept.");
  }

  sim::SetTracing(false);
  sim::SetRecordForms(false);
  sim::Options().virtualClock = false;
  sim::InstallEngine();
  for (const std::wstring& plugin : plugins) {
    if (!sim::LoadPluginLibrary(plugin) || !sim::CallPluginLoad()) return false;
  }
  sim::SendLoaderMessage(2);
  return true;
}

}  // namespace bench
