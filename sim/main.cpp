// The host simulator: plays the VKRX loader and the game against the real plugin DLL.
//   kelvarion_sim.exe                       the demonstration: a full two-load run
//   kelvarion_sim.exe --script FILE         a scenario (see sim/README.md); "-" reads stdin
//   kelvarion_sim.exe --vocabulary          the scenario vocabulary, as sim/README.md shows it
//   options: --dll PATH (default: KelvarionSaveCleaner.dll beside this program),
//            --show-boxes (real message boxes as well; needs a display),
//            --results DIR (the demonstration copies its report, lists of erased and of kept
//            forms and settings file there)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "sim/demo.h"
#include "sim/engine_stubs.h"
#include "sim/loader.h"
#include "sim/program_files.h"
#include "sim/scenario.h"
#include "sim/trace.h"

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  sim::TraceLine("crash code=%08lX", info->ExceptionRecord->ExceptionCode);
  sim::FlushTrace();
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

// A folder named on the command line, made absolute before the run changes directories.
std::wstring FullPath(const char* path) {
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(Widen(path).c_str(), MAX_PATH, full, nullptr);
  return length == 0 || length >= MAX_PATH ? Widen(path) : std::wstring(full, length);
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 2 && std::string(argv[1]) == "--vocabulary") {
    sim::PrintVocabulary();
    return 0;
  }
  SetUnhandledExceptionFilter(ReportCrash);
  sim::InstallEngine();

  std::wstring plugin = sim::BesideThisProgram(L"KelvarionSaveCleaner.dll");
  std::string scriptPath;
  std::wstring resultsFolder;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--dll" && i + 1 < argc)
      plugin = Widen(argv[++i]);
    else if (argument == "--script" && i + 1 < argc)
      scriptPath = argv[++i];
    else if (argument == "--show-boxes")
      sim::Options().showRealBoxes = true;
    else if (argument == "--results" && i + 1 < argc)
      resultsFolder = FullPath(argv[++i]);
    else {
      std::fprintf(
          stderr,
          "usage: kelvarion_sim [--script FILE|-] [--dll PATH] [--show-boxes] [--results DIR] | "
          "--vocabulary\n");
      return 2;
    }
  }

  if (scriptPath.empty()) return sim::RunDemonstration(plugin, resultsFolder);

  std::ostringstream script;
  if (scriptPath == "-") {
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
      script.write(buffer, static_cast<std::streamsize>(got));
    }
  } else {
    std::ifstream file(scriptPath, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "sim: cannot read %s\n", scriptPath.c_str());
      return 2;
    }
    script << file.rdbuf();
  }
  const int result = sim::RunScript(script.str(), plugin);
  sim::TraceLine("end");
  sim::FlushTrace();
  return result;
}
