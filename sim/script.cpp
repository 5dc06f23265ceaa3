#include "sim/script.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "sim/engine.h"
#include "sim/loader.h"
#include "sim/trace.h"
#include "sim/world.h"

namespace sim {
namespace {

constexpr const char* kSettingsFolder = "Data\\VKRX\\Plugins";
constexpr const char* kSettingsFile = "Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini";

struct Runner {
  World world;
  std::wstring pluginPath;
  bool pluginLoaded = false;
  std::uint64_t mallocMark = 0;

  bool EnsurePlugin() {
    if (!pluginLoaded) pluginLoaded = LoadPluginLibrary(pluginPath);
    return pluginLoaded;
  }

  bool Run(const std::string& line, std::string& error);
  bool Option(const std::string& name, std::string& error);
};

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

long long Number(const std::vector<std::string>& words, std::size_t index) {
  return index < words.size() ? std::strtoll(words[index].c_str(), nullptr, 0) : 0;
}

void ShowSettingsFile() {
  std::ifstream file(kSettingsFile, std::ios::binary);
  if (!file) {
    Trace("ini missing");
    return;
  }
  std::ostringstream content;
  content << file.rdbuf();
  Trace("ini %s", EscapeText(content.str()).c_str());
}

bool Runner::Option(const std::string& name, std::string& error) {
  LoaderOptions& options = Options();
  if (name == "exit-on-terminate")
    options.exitOnTerminate = true;
  else if (name == "module-null")
    options.moduleHandleNull = true;
  else if (name == "no-messaging")
    options.messagingMissing = true;
  else if (name == "no-listener-slot")
    options.listenerSlotMissing = true;
  else if (name == "real-clock")
    options.virtualClock = false;
  else if (name == "show-boxes")
    options.showRealBoxes = true;
  else
    return error = "unknown option " + name, false;
  return true;
}

bool Runner::Run(const std::string& line, std::string& error) {
  const auto words = Words(line);
  if (words.empty() || words[0][0] == '#') return true;
  const std::string& verb = words[0];
  const std::string argument = words.size() > 1 ? words[1] : "";
  if (verb == "option") return Option(argument, error);
  if (verb == "load") {
    if (!EnsurePlugin()) return error = "cannot load the plugin", false;
    CallPluginLoad();
  } else if (verb == "inspect") {
    if (!EnsurePlugin()) return error = "cannot load the plugin", false;
    InspectPlugin(pluginPath);
  } else if (verb == "message") {
    argument == "null" ? SendNullLoaderMessage()
                       : SendLoaderMessage(static_cast<std::uint32_t>(Number(words, 1)));
  } else if (verb == "loadgame") {
    if (!world.Commit(error)) return false;
    Trace("event load-game");
    DispatchLoadGame();
  } else if (verb == "update") {
    SetVirtualClockNs(Number(words, 1));
    DispatchPlayerUpdate();
  } else if (verb == "updates") {  // updates FROM STEP COUNT
    for (long long i = 0; i < Number(words, 3); ++i) {
      SetVirtualClockNs(Number(words, 1) + i * Number(words, 2));
      DispatchPlayerUpdate();
    }
  } else if (verb == "box") {  // box N <line run while box N is open>
    const std::string nested = line.substr(line.find(argument) + argument.size());
    WhileBoxOpen(static_cast<unsigned>(Number(words, 1)), [this, nested] {
      std::string nestedError;
      if (!Run(nested, nestedError)) Trace("error box-action %s", nestedError.c_str());
    });
  } else if (verb == "malloc-fail") {
    FailMallocs(static_cast<std::uint64_t>(Number(words, 1)),
                static_cast<std::uint64_t>(Number(words, 2)));
  } else if (verb == "malloc-mark") {
    mallocMark = MallocCalls();
  } else if (verb == "malloc-since-mark") {
    Trace("mallocs %llu", static_cast<unsigned long long>(MallocCalls() - mallocMark));
  } else if (verb == "slot0") {
    CallSinkDestructorEntries(static_cast<unsigned>(Number(words, 1)));
  } else if (verb == "on-erase") {  // on-erase N move | on-erase N shrink K
    const auto when = static_cast<std::uint64_t>(Number(words, 1));
    const std::string what = words.size() > 2 ? words[2] : "";
    const auto by = static_cast<std::uint64_t>(Number(words, 3));
    SetEraseHook([when, what, by](std::uint64_t number) {
      if (number != when) return;
      what == "move" ? MoveSlotArray() : ShrinkSlotCount(by);
    });
  } else if (verb == "ini-show") {
    ShowSettingsFile();
  } else if (verb == "ini-print") {
    std::ifstream file(kSettingsFile, std::ios::binary);
    std::string text;
    while (std::getline(file, text)) std::printf("    %s\n", text.c_str());
    if (!file.eof()) std::printf("    (no settings file)\n");
  } else if (verb == "ini-remove-folder") {
    DeleteFileA(kSettingsFile);
    RemoveDirectoryA(kSettingsFolder);
  } else if (verb == "ini-to-directory") {
    DeleteFileA(kSettingsFile);
    CreateDirectoryA(kSettingsFile, nullptr);
  } else if (verb == "trace") {
    SetTracing(argument == "on");
  } else if (verb == "say") {
    std::printf("%s\n", line.substr(line.find("say") + 4).c_str());
  } else if (verb == "summary") {
    PrintFormSummary();
  } else {
    return world.Apply(words, error);
  }
  return true;
}

}  // namespace

int RunScript(const std::string& script, const std::wstring& pluginPath) {
  Runner runner;
  runner.pluginPath = pluginPath;
  std::istringstream lines(script);
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string error;
    if (!runner.Run(line, error)) {
      std::fprintf(stderr, "sim: line %d: %s\n", lineNumber, error.c_str());
      FlushTrace();
      return 2;
    }
  }
  return 0;
}

}  // namespace sim
