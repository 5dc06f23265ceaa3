#include "bench/bench_support.h"

#include <windows.h>

#include <cstdio>

#include "sim/engine.h"
#include "sim/loader.h"
#include "sim/program_files.h"
#include "sim/trace.h"

namespace bench {

bool StartArmedPlugin() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"kelvarion-bench-" + std::to_wstring(GetCurrentProcessId());
  for (const wchar_t* sub : {L"", L"\\Data", L"\\Data\\VKRX", L"\\Data\\VKRX\\Plugins"}) {
    CreateDirectoryW((folder + sub).c_str(), nullptr);
  }
  const std::wstring settings = folder + L"\\Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini";
  FILE* file = _wfopen(settings.c_str(), L"wb");
  if (file == nullptr) return false;
  std::fputs("[General]\r\nbPluginActive=1\r\n", file);
  std::fclose(file);
  SetCurrentDirectoryW(folder.c_str());

  const std::wstring plugin = sim::BesideThisProgram(L"KelvarionSaveCleaner.dll");
  sim::SetTracing(false);
  sim::SetRecordForms(false);
  sim::Options().virtualClock = false;
  sim::InstallEngine();
  if (!sim::LoadPluginLibrary(plugin) || !sim::CallPluginLoad()) return false;
  sim::SendLoaderMessage(2);
  DeleteFileW(settings.c_str());  // nothing else is read from it
  return true;
}

}  // namespace bench
