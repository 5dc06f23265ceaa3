#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "glue/game_folder.h"
#include "glue/glue.h"
#include "seam.h"
#include "sim/scratch_folder.h"

namespace msvc_host {
namespace {

std::string scenarioName;
unsigned passed = 0;
unsigned failed = 0;

// "KelvarionSaveCleaner.dll+0x1A2B", or the bare address outside every module.
std::string WhereIs(const void* address) {
  HMODULE module = nullptr;
  char path[MAX_PATH] = "";
  char text[64];
  if (GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module) &&
      GetModuleFileNameA(module, path, MAX_PATH) != 0) {
    const char* name = std::strrchr(path, '\\');
    std::snprintf(text, sizeof text, "+0x%llx",
                  static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                  reinterpret_cast<const char*>(module)));
    return std::string(name != nullptr ? name + 1 : path) + text;
  }
  std::snprintf(text, sizeof text, "0x%p", address);
  return text;
}

// A crash, in the plugin above all (a sink laid out the wrong way crashes rather than fails):
// the report names the step in progress, counts it as a failed check and ends the process.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  std::printf("FAIL %s: crashed during %s: exception 0x%08lX at %s\n", scenarioName.c_str(),
              GameStepInProgress(), record.ExceptionCode, WhereIs(record.ExceptionAddress).c_str());
  ++failed;
  std::printf("%s\n", ScenarioEndLine(scenarioName, passed, failed).c_str());
  std::fflush(stdout);
  RemoveGameFolderAfterCrash();
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

std::string ScenarioEndLine(const std::string& scenario, unsigned passedChecks,
                            unsigned failedChecks) {
  return "end of " + scenario + ": " + std::to_string(passedChecks) + " passed, " +
         std::to_string(failedChecks) + " failed";
}

int RunScenarioProcess(const std::string& scenario) {
  scenarioName = scenario;
  SetUnhandledExceptionFilter(ReportCrash);
  {
    const sim::ScratchGameFolder folder(L"msvc-host");
    const sim::CurrentDirectoryScope inGameFolder(folder.Path());
    const GameFolderScope active(folder);
    if (!GameRunScenario(scenario.c_str())) {
      GlueReportCheck("the scenario exists", 0, scenario.c_str());
    }
  }
  std::printf("%s\n", ScenarioEndLine(scenario, passed, failed).c_str());
  std::fflush(stdout);
  return failed == 0 ? 0 : 1;
}

}  // namespace msvc_host

extern "C" void GlueReportCheck(const char* name, int32_t passedCheck, const char* detail) {
  using namespace msvc_host;
  if (passedCheck) {
    ++passed;
    std::printf("ok   %s: %s\n", scenarioName.c_str(), name);
  } else {
    ++failed;
    std::printf("FAIL %s: %s%s%s\n", scenarioName.c_str(), name, *detail != '\0' ? " -- " : "",
                detail);
  }
  std::fflush(stdout);
}
