#include "sim/demo.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "sim/loader.h"
#include "sim/program_files.h"
#include "sim/scenario.h"
#include "sim/scratch_folder.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct FormGroup {
  char type;
  int count;
  const char* note;
  const char* attributes;  // %B is replaced by a fresh base of the group's own
  const char* base;        // "runtime", "loaded", "loaded8", "seven" or ""
  const char* expect;      // what the rules must do with each: "erase" or why it is kept
};

// Each group exercises one rule of the cleaning pass; the note names it in the summary.
constexpr FormGroup Groups[] = {
    {'K', 600, "run-time, run-time base", "base=%B", "runtime", "erase"},
    {'K', 100, "run-time, loaded base with an '8' related form", "base=%B", "loaded8", "erase"},
    {'K', 100, "run-time, loaded base, no '8' related form", "base=%B", "loaded", "k-loaded-base"},
    {'K', 50, "run-time, base FormId 00000007", "base=%B", "seven", "k-base-7"},
    {'K', 50, "run-time, hold link set", "hold base=%B", "runtime", "k-hold-link"},
    {'K', 50, "run-time, named attached item", "holder=10;11 base=%B", "runtime", "k-named-items"},
    {'K', 50, "run-time, attached items without namer", "holder=10;01 base=%B", "runtime", "erase"},
    {'K', 50, "run-time, held by the game", "held base=%B", "runtime", "k-held"},
    {'K', 20, "run-time, no base object", "", "", "k-no-base"},
    {'K', 20, "run-time, unreadable base member", "fault=base", "", "k-no-base"},
    {'J', 300, "run-time, run-time base", "base=%B", "runtime", "erase"},
    {'J', 100, "run-time, loaded base (even with '8')", "base=%B", "loaded8", "j-loaded-base"},
    {'J', 30, "run-time, hold link set", "hold base=%B", "runtime", "j-hold-link"},
    {'J', 30, "run-time, named attached item", "holder=11 base=%B", "runtime", "j-named-items"},
    {'J', 30, "run-time, held by the game", "held base=%B", "runtime", "j-held"},
    {'V', 400, "run-time, unprotected", "", "", "erase"},
    {'V', 100, "run-time, outpost (bEraseOutposts=0)", "holdera=x;m", "", "v-outpost"},
    {'V', 100, "run-time, list-marked", "parent ids=0 cast=0;20C59F", "", "v-list-marked"},
    {'V', 50, "run-time, unreadable parent member", "fault=parent", "", "erase"},
    {'X', 200, "run-time, other form type", "", "", ""},
};

}  // namespace

std::string DemonstrationWorld() {
  std::string world;
  std::uint32_t runtimeId = 0xFF000100, loadedId = 0x00010000;
  char line[256];
  world += "form 00000007 S list=0\nform 00000800 8 list=0\n";
  for (const FormGroup& group : Groups) {
    for (int i = 0; i < group.count; ++i) {
      std::string attributes = group.attributes;
      const std::size_t at = attributes.find("%B");
      if (at != std::string::npos) {
        std::uint32_t baseId = 7;
        const std::string kind = group.base;
        if (kind == "runtime") baseId = runtimeId++;
        if (kind == "loaded" || kind == "loaded8") baseId = loadedId++;
        if (kind != "seven") {
          std::snprintf(line, sizeof line, "form %08X S list=0%s\n", baseId,
                        kind == "loaded8" ? " related=00000800" : "");
          world += line;
        }
        std::snprintf(line, sizeof line, "%08X", baseId);
        attributes.replace(at, 2, line);
      }
      std::string note = group.note;  // one word on the line: blanks travel as underscores
      for (char& c : note) c = c == ' ' ? '_' : c;
      const std::string expect = *group.expect ? std::string(" expect=") + group.expect : "";
      std::snprintf(line, sizeof line, "form %08X %c %s note=%s%s\n", runtimeId++, group.type,
                    attributes.c_str(), note.c_str(), expect.c_str());
      world += line;
      if (i % 17 == 0) world += "empty\n";
    }
  }
  for (int i = 0; i < 400; ++i) {  // loaded forms are never touched
    std::snprintf(line, sizeof line, "form %08X %c\n", loadedId++, "KJV"[i % 3]);
    world += line;
  }
  return world;
}

int RunDemonstration(const std::wstring& pluginPath, const std::wstring& resultsFolder) {
  // The settings file players get, as shipped (the build copies it beside this program).
  const auto shipped = ReadWholeFile(BesideThisProgram(L"shipped-settings.ini"));
  if (!shipped) {
    std::fprintf(stderr, "sim: shipped-settings.ini is missing beside the simulator\n");
    return 2;
  }
  const ScratchGameFolder folder(L"demo");
  folder.WriteSettings(*shipped);
  int result = 0;
  {
    const CurrentDirectoryScope inGameFolder(folder.Path());
    Options().narrate = true;
    SetTracing(false);
    std::string script = DemonstrationWorld();
    script +=
        "say Kelvarion Save Cleaner: a full cleaning run in the host simulator\n"
        "say Settings file before the run, as shipped "
        "(Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini):\n"
        "ini-print\n"
        "say \n"
        "say [game start] the loader calls VKRXPlugin_Load\n"
        "load\n"
        "say [loader] message 2: the plugin attaches its two event sinks\n"
        "message 2\n"
        "say [player] loads a save: first cleaning pass\n"
        "loadgame\n"
        "say [game] one second of play at 60 updates per second, then a 3.2 s pause\n"
        "updates 1000000000 16666667 60\n"
        "update 5200000000\n"
        "say [player] saves and loads that save: second cleaning pass\n"
        "loadgame\n"
        "updates 5300000000 16666667 60\n"
        "update 9500000000\n"
        "say [player] loads once more: the plugin no longer listens\n"
        "loadgame\n"
        "say Settings file after the run:\n"
        "ini-print\n"
        "say \n"
        "say What happened to each kind of form (type, rule):\n"
        "trace on\n"
        "summary\n"
        "trace off\n"
        "say \n"
        "say The plugin's own report (Data\\VKRX\\Plugins\\KelvarionSaveCleaner.log).\n"
        "say Its lock times come from the simulator's virtual clock, 1 us per engine call:\n"
        "say they say nothing of this machine's speed or of the game's.\n"
        "report-print\n"
        "say Beside it, KelvarionSaveCleaner.erased.txt lists the FormId of every form erased,\n"
        "say and KelvarionSaveCleaner.kept.txt every run-time form kept, with the rule that kept "
        "it.\n";
    result = RunScript(script, pluginPath);
  }
  if (!resultsFolder.empty()) {
    // What the run left for a reader, before the scratch folder goes.
    for (const wchar_t* name : {L"KelvarionSaveCleaner.log", L"KelvarionSaveCleaner.erased.txt",
                                L"KelvarionSaveCleaner.kept.txt", L"KelvarionSaveCleaner.ini"}) {
      const std::wstring target = resultsFolder + L"\\" + name;
      if (!CopyFileW(folder.PluginFile(name).c_str(), target.c_str(), FALSE)) {
        std::fprintf(stderr, "sim: could not copy %ls to %ls\n", name, resultsFolder.c_str());
        result = result == 0 ? 2 : result;
      }
    }
  }
  return result;
}

}  // namespace sim
