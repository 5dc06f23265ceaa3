#include "sim/scenario.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <vector>

#include "sim/demo.h"
#include "sim/engine_data.h"
#include "sim/engine_stubs.h"
#include "sim/event_sources.h"
#include "sim/loader.h"
#include "sim/pass_tally.h"
#include "sim/plugin_files.h"
#include "sim/plugin_imports.h"
#include "sim/run_summary.h"
#include "sim/scratch_folder.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"
#include "sim/world.h"

namespace sim {
namespace {

constexpr const char* SettingsFolder = "Data\\VKRX\\Plugins";
constexpr const char* SettingsFile = "Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini";
constexpr const char* ReportFile = "Data\\VKRX\\Plugins\\KelvarionSaveCleaner.log";

// One line of a scenario, split into words.
struct Line {
  const std::string& text;
  std::vector<std::string> words;

  std::string Word(std::size_t index) const { return index < words.size() ? words[index] : ""; }
  long long Number(std::size_t index) const {
    return index < words.size() ? std::strtoll(words[index].c_str(), nullptr, 0) : 0;
  }
  // The text after the first `count` words.
  std::string After(std::size_t count) const {
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
      at = text.find_first_not_of(" \t", at);
      at = text.find_first_of(" \t", at);
      if (at == std::string::npos) return "";
    }
    return text.substr(std::min(text.size(), at + 1));
  }
};

struct Scenario {
  explicit Scenario(World& built) : world(built) {}

  World& world;
  // What the `on-erase` lines asked for, in order.
  struct TableChange {
    std::uint64_t atErasure;
    std::string what;  // move, shrink or die
    std::uint64_t shrinkBy;
  };
  std::vector<TableChange> tableChanges;
  std::wstring pluginPath;
  bool pluginLoaded = false;
  std::uint64_t mallocMark = 0;
  std::uint64_t freeMark = 0;

  bool EnsurePlugin(std::string& error) {
    if (!pluginLoaded) pluginLoaded = LoadPluginLibrary(pluginPath);
    if (!pluginLoaded) error = "cannot load the plugin";
    return pluginLoaded;
  }
  bool Run(const std::string& text, std::string& error);
  // A line to run later, from inside a hook; its error is traced, not returned.
  std::function<void()> Later(const std::string& text) {
    return [this, text] {
      std::string error;
      if (!Run(text, error)) Trace("error scenario-hook %s", error.c_str());
    };
  }
};

using Handler = bool (*)(Scenario&, const Line&, std::string& error);

struct Verb {
  const char* name;
  const char* arguments;
  const char* meaning;
  bool world;  // builds the game's data (as opposed to playing the loader and the game)
  Handler run;
};

struct OptionEntry {
  const char* name;
  const char* meaning;
  bool LoaderOptions::*flag;
  bool value;
};

constexpr OptionEntry OptionList[] = {
    {"exit-on-terminate", "let `TerminateProcess` really end the simulator",
     &LoaderOptions::exitOnTerminate, true},
    {"fixed-local-time",
     "`GetLocalTime` answers 2031-04-27 13:45:09 (its day above 12, so that a swapped day and "
     "month shows)",
     &LoaderOptions::fixedLocalTime, true},
    {"module-null", "`GetModuleHandleW(nullptr)` answers null", &LoaderOptions::moduleHandleNull,
     true},
    {"no-lookup-service", "the loader interface has no `LookupService`",
     &LoaderOptions::lookupServiceMissing, true},
    {"no-messaging", "`LookupService(1)` answers null", &LoaderOptions::messagingMissing, true},
    {"no-listener-slot", "the messaging record has no `AddMessageListener`",
     &LoaderOptions::listenerSlotMissing, true},
    {"real-clock", "the plugin's steady clock reads the real performance counter",
     &LoaderOptions::virtualClock, false},
    {"show-boxes", "also show the real message boxes (needs a display)",
     &LoaderOptions::showRealBoxes, true},
};

// Traces a file's bytes on one line, after `label` (or "LABEL missing").
void ShowFile(const char* path, const char* label) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    Trace("%s missing", label);
    return;
  }
  std::ostringstream content;
  content << file.rdbuf();
  Trace("%s %s", label, EscapeText(content.str()).c_str());
}

// Prints a text file for a reader, indented, without its CRs.
void PrintFile(const char* path, const char* missing) {
  std::ifstream file(path, std::ios::binary);
  std::string text;
  while (std::getline(file, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::printf("    %s\n", text.c_str());
  }
  if (!file.eof()) std::printf("    (%s)\n", missing);
}

const Verb VerbList[] = {
    // World lines.
    {"form", "ID TYPE attributes...",
     "a form (hex FormId, one-character type code) listed in the table in line order", true,
     [](Scenario& s, const Line& line, std::string& error) {
       return s.world.AddForm(line.words, error);
     }},
    {"empty", "", "an empty slot whose stale pointer is unreadable", true,
     [](Scenario& s, const Line&, std::string&) {
       s.world.AddEmptySlot();
       return true;
     }},
    {"marker", "none", "no outpost marker", true,
     [](Scenario& s, const Line& line, std::string&) {
       s.world.SetOutpostMarkerPresent(line.Word(1) != "none");
       return true;
     }},
    {"list-marker", "none", "no form 0020C59F", true,
     [](Scenario& s, const Line& line, std::string&) {
       s.world.SetListMarkerPresent(line.Word(1) != "none");
       return true;
     }},
    {"table", "none|count-equals|null-slots|wide-count-null-slots|page-end",
     "no table; the low 32 bits of the count equal the word at +0x20; no slot array; a count "
     "of 2^32 + n with n in the word and no slot array; the slot array (and any it is moved "
     "to) ends exactly where a no-access page begins",
     true,
     [](Scenario& s, const Line& line, std::string& error) {
       return s.world.SetTableShape(line.Word(1), error);
     }},
    {"kept-source", "none", "no kept-form source", true,
     [](Scenario& s, const Line& line, std::string&) {
       s.world.SetKeptSourcePresent(line.Word(1) != "none");
       return true;
     }},
    {"demo-world", "", "the demonstration's world: every rule, each form with its `expect=`", true,
     [](Scenario& s, const Line&, std::string& error) {
       return BuildWorld(s.world, DemonstrationWorld(), error);
     }},
    {"kept-a", "ID", "the form `GetKeptForm` returns", true,
     [](Scenario& s, const Line& line, std::string& error) {
       return s.world.SetKeptFormA(line.Word(1), error);
     }},

    // Action lines.
    {"option", "NAME", "a loader option (below), before the first `load`", false,
     [](Scenario&, const Line& line, std::string& error) {
       for (const OptionEntry& option : OptionList) {
         if (line.Word(1) != option.name) continue;
         Options().*option.flag = option.value;
         return true;
       }
       return error = "unknown option " + line.Word(1), false;
     }},
    {"load", "", "the loader calls `VKRXPlugin_Load`", false,
     [](Scenario& s, const Line&, std::string& error) {
       if (!s.EnsurePlugin(error)) return false;
       // The tally expects what the plugin should do with the settings it reads now.
       char value[8] = {};
       GetPrivateProfileStringA("General", "bEraseOutposts", "", value, sizeof value,
                                ".\\Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini");
       SetTallyEraseOutposts(std::string(value) == "1");
       CallPluginLoad();
       return true;
     }},
    {"inspect", "",
     "trace the export directory, the version record, the version resource and the import "
     "directory (`import DLL FUNCTION`)",
     false,
     [](Scenario& s, const Line&, std::string& error) {
       if (!s.EnsurePlugin(error)) return false;
       InspectPlugin(s.pluginPath);
       return true;
     }},
    {"message", "N|null", "the loader sends a message of type N (or a null message)", false,
     [](Scenario&, const Line& line, std::string&) {
       if (line.Word(1) == "null") {
         SendNullLoaderMessage();
       } else {
         SendLoaderMessage(static_cast<std::uint32_t>(line.Number(1)));
       }
       return true;
     }},
    {"loadgame", "", "the world is built (if changed) and a load-game event is dispatched", false,
     [](Scenario& s, const Line&, std::string& error) {
       if (!s.world.Commit(error)) return false;
       Trace("event load-game");
       DispatchLoadGame();
       return true;
     }},
    {"update", "NS", "the clock reads NS, then a player update is dispatched", false,
     [](Scenario&, const Line& line, std::string&) {
       SetVirtualClockNs(line.Number(1));
       DispatchPlayerUpdate();
       return true;
     }},
    {"performance-counter", "HZ UPTIME",
     "the performance counter behind the plugin's clock counts HZ ticks a second (1 GHz unless "
     "set) and read UPTIME seconds' worth when the clock read 0, as after days of play",
     false,
     [](Scenario&, const Line& line, std::string& error) {
       if (line.Number(1) <= 0 || line.Number(1) > 9'000'000'000) {
         return error = "performance-counter needs HZ from 1 to 9000000000", false;
       }
       SetPerformanceCounter(line.Number(1), line.Number(2));
       return true;
     }},
    {"updates", "FROM STEP COUNT", "COUNT player updates at FROM, FROM + STEP, ...", false,
     [](Scenario&, const Line& line, std::string&) {
       for (long long i = 0; i < line.Number(3); ++i) {
         SetVirtualClockNs(line.Number(1) + i * line.Number(2));
         DispatchPlayerUpdate();
       }
       return true;
     }},
    {"box", "N LINE",
     "run LINE while the Nth message box (counting all boxes) is open; several lines run in "
     "order",
     false,
     [](Scenario& s, const Line& line, std::string&) {
       WhileBoxOpen(static_cast<unsigned>(line.Number(1)), s.Later(line.After(2)));
       return true;
     }},
    {"on-detach", "LINE", "run LINE each time the plugin detaches a sink", false,
     [](Scenario& s, const Line& line, std::string&) {
       OnDetach(s.Later(line.After(1)));
       return true;
     }},
    {"on-settings-write", "LINE",
     "run LINE each time `WritePrivateProfileStringW` has written (each call is traced as "
     "`settings-write [SECTION] KEY=VALUE`)",
     false,
     [](Scenario& s, const Line& line, std::string&) {
       AfterSettingsWrite(s.Later(line.After(1)));
       return true;
     }},
    {"malloc-fail", "NTH COUNT",
     "the plugin's allocations (`malloc`, `calloc`, `realloc`) fail COUNT times from its NTH on",
     false,
     [](Scenario&, const Line& line, std::string&) {
       FailMallocs(static_cast<std::uint64_t>(line.Number(1)),
                   static_cast<std::uint64_t>(line.Number(2)));
       return true;
     }},
    {"malloc-fail-size", "FROM UNTIL COUNT [AFTER]",
     "the plugin's next COUNT allocations (`malloc`, `calloc`, `realloc`) of FROM to UNTIL - 1 "
     "bytes fail, once AFTER such allocations (0 if not given) have gone through; others go "
     "through",
     false,
     [](Scenario&, const Line& line, std::string&) {
       FailMallocsOfSize(
           static_cast<std::size_t>(line.Number(1)), static_cast<std::size_t>(line.Number(2)),
           static_cast<std::uint64_t>(line.Number(3)), static_cast<std::uint64_t>(line.Number(4)));
       return true;
     }},
    {"heap-mark", "", "remember the plugin's allocation and `free` counts", false,
     [](Scenario& s, const Line&, std::string&) {
       s.mallocMark = MallocCalls();
       s.freeMark = FreeCalls();
       return true;
     }},
    {"heap-since-mark", "",
     "trace `mallocs N` and `frees N`, the plugin's allocations (`malloc`, `calloc`, `realloc`) "
     "and `free` calls since the mark",
     false,
     [](Scenario& s, const Line&, std::string&) {
       Trace("mallocs %llu", static_cast<unsigned long long>(MallocCalls() - s.mallocMark));
       Trace("frees %llu", static_cast<unsigned long long>(FreeCalls() - s.freeMark));
       return true;
     }},
    {"slot0", "FLAGS", "call slot 0 (the destructor entry) of every attached sink", false,
     [](Scenario&, const Line& line, std::string&) {
       CallSinkDestructorEntries(static_cast<unsigned>(line.Number(1)));
       return true;
     }},
    {"on-erase", "N move|shrink K|die",
     "at the Nth erase call, move the slot array (the old one becomes unreadable), shrink the "
     "slot count by K, or end the game process there and then, as a crash or Task Manager "
     "would (traced `game-dies`); several lines add up",
     false,
     [](Scenario& s, const Line& line, std::string& error) {
       const auto when = static_cast<std::uint64_t>(line.Number(1));
       const std::string what = line.Word(2);
       const auto by = static_cast<std::uint64_t>(line.Number(3));
       if (what != "move" && what != "shrink" && what != "die") {
         return error = "on-erase needs move, shrink or die", false;
       }
       s.tableChanges.push_back({when, what, by});
       SetEraseHook([changes = s.tableChanges](std::uint64_t number) {
         for (const auto& change : changes) {
           if (number != change.atErasure) continue;
           if (change.what == "move") MoveSlotArray();
           if (change.what == "shrink") ShrinkSlotCount(change.shrinkBy);
           if (change.what == "die") EndTheGameNow();
         }
       });
       return true;
     }},
    {"ini-show", "", "trace the settings file's bytes (or `ini missing`)", false,
     [](Scenario&, const Line&, std::string&) {
       ShowFile(SettingsFile, "ini");
       return true;
     }},
    {"report-show", "", "trace the plugin's report's bytes (or `report missing`)", false,
     [](Scenario&, const Line&, std::string&) {
       ShowFile(ReportFile, "report");
       return true;
     }},
    {"file-show", "NAME",
     "trace the bytes of NAME in the plugin folder as `file NAME BYTES` (or `file NAME missing`)",
     false,
     [](Scenario&, const Line& line, std::string&) {
       const std::string label = "file " + line.Word(1);
       ShowFile((std::string(SettingsFolder) + "\\" + line.Word(1)).c_str(), label.c_str());
       return true;
     }},
    {"ini-print", "", "print the settings file for a reader", false,
     [](Scenario&, const Line&, std::string&) {
       PrintFile(SettingsFile, "no settings file");
       return true;
     }},
    {"report-print", "", "print the plugin's report (KelvarionSaveCleaner.log) for a reader", false,
     [](Scenario&, const Line&, std::string&) {
       PrintFile(ReportFile, "no report");
       return true;
     }},
    {"ini-remove-folder", "",
     "remove the settings folder with everything in it, as far as Windows lets it: traced "
     "`settings-folder removed` or, while a file in it is open (Wine; Windows before 10 "
     "1903), `settings-folder kept`",
     false,
     [](Scenario&, const Line&, std::string&) {
       RemoveTree(L"Data\\VKRX\\Plugins");
       const bool kept = GetFileAttributesA(SettingsFolder) != INVALID_FILE_ATTRIBUTES;
       Trace("settings-folder %s", kept ? "kept" : "removed");
       return true;
     }},
    {"ini-create-folder", "",
     "create the settings folder (after `ini-remove-folder`) if it is gone", false,
     [](Scenario&, const Line&, std::string& error) {
       if (!CreateDirectoryA(SettingsFolder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
         return error = "cannot create it", false;
       }
       return true;
     }},
    {"hold", "NAME none|r|rw|rd|rwd... [for=r|w|d...] [until-rename-fails]",
     "another program opens NAME in the plugin folder, sharing it for reading, writing and "
     "deleting as the letters say, to read it or as `for=` says (r read, w write, d delete: "
     "`for=w` as a second game writes its report, `for=d` as Explorer renames); traced `hold NAME "
     "-> held` or `hold NAME -> error N`. With `until-rename-fails` it lets go (traced `release "
     "NAME`) once a rename of the plugin's from or to it has failed",
     false,
     [](Scenario&, const Line& line, std::string&) {
       std::string access = "r";
       bool untilRenameFails = false;
       for (std::size_t i = 3; i < line.words.size(); ++i) {
         if (line.words[i].rfind("for=", 0) == 0) access = line.words[i].substr(4);
         if (line.words[i] == "until-rename-fails") untilRenameFails = true;
       }
       HoldPluginFile(line.Word(1), line.Word(2), access, untilRenameFails);
       return true;
     }},
    {"release", "NAME", "the program holding NAME lets go", false,
     [](Scenario&, const Line& line, std::string&) {
       ReleasePluginFile(line.Word(1));
       return true;
     }},
    {"deny-changes", "TEXT",
     "Windows refuses the plugin, by permission (access denied), every creation and rename of a "
     "file whose name contains TEXT and every open that asks to change or delete one, as in a "
     "folder whose permissions refuse the player; reading is let through",
     false,
     [](Scenario&, const Line& line, std::string&) {
       const std::string text = line.Word(1);
       DenyChanges(std::wstring(text.begin(), text.end()));
       return true;
     }},
    {"ini-to-directory", "", "replace the settings file by a directory of the same name", false,
     [](Scenario&, const Line&, std::string& error) {
       DeleteFileA(SettingsFile);
       if (!CreateDirectoryA(SettingsFile, nullptr)) return error = "cannot create it", false;
       return true;
     }},
    {"summary", "", "trace what happened to each noted group of forms", false,
     [](Scenario&, const Line&, std::string&) {
       PrintFormSummary();
       return true;
     }},
    {"trace", "on|off", "switch the trace on or off", false,
     [](Scenario&, const Line& line, std::string&) {
       SetTracing(line.Word(1) == "on");
       return true;
     }},
    {"say", "TEXT", "print TEXT", false,
     [](Scenario&, const Line& line, std::string&) {
       std::printf("%s\n", line.After(1).c_str());
       return true;
     }},
};

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string UnknownVerb(const std::string& word) {
  std::string error = "unknown verb '" + word + "'";
  const Verb* closest = nullptr;
  std::size_t best = 3;  // suggest only near misses
  for (const Verb& verb : VerbList) {
    const std::size_t distance = EditDistance(word, verb.name);
    if (distance < best) best = distance, closest = &verb;
  }
  if (closest != nullptr) error += std::string(" (did you mean '") + closest->name + "'?)";
  return error;
}

Line SplitLine(const std::string& text) {
  Line line{text, {}};
  std::istringstream stream(text);
  for (std::string word; stream >> word;) line.words.push_back(word);
  return line;
}

bool Scenario::Run(const std::string& text, std::string& error) {
  const Line line = SplitLine(text);
  if (line.words.empty() || line.words[0][0] == '#') return true;
  for (const Verb& verb : VerbList) {
    if (line.words[0] == verb.name) return verb.run(*this, line, error);
  }
  return error = UnknownVerb(line.words[0]), false;
}

// Markdown table cells: a literal | must be escaped, even between backticks.
std::string Cell(const std::string& text) {
  std::string out;
  for (const char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
  return out;
}

void PrintVerbTable(bool world) {
  std::printf("| line | meaning |\n|---|---|\n");
  for (const Verb& verb : VerbList) {
    if (verb.world != world) continue;
    const std::string usage =
        std::string(verb.name) + (*verb.arguments ? " " : "") + verb.arguments;
    std::printf("| `%s` | %s |\n", Cell(usage).c_str(), Cell(verb.meaning).c_str());
  }
}

}  // namespace

int RunScript(const std::string& script, const std::wstring& pluginPath) {
  World world;
  Scenario scenario(world);
  scenario.pluginPath = pluginPath;
  std::istringstream lines(script);
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string error;
    if (!scenario.Run(line, error)) {
      std::fprintf(stderr, "sim: line %d: %s\n", lineNumber, error.c_str());
      FlushTrace();
      return 2;
    }
  }
  return 0;
}

bool BuildWorld(World& world, const std::string& lines, std::string& error) {
  Scenario scenario(world);
  std::istringstream stream(lines);
  for (std::string text; std::getline(stream, text);) {
    const Line line = SplitLine(text);
    if (line.words.empty()) continue;
    const auto verb = std::find_if(std::begin(VerbList), std::end(VerbList),
                                   [&](const Verb& each) { return line.words[0] == each.name; });
    if (verb == std::end(VerbList) || !verb->world) {
      return error = "not a world line: " + text, false;
    }
    if (!verb->run(scenario, line, error)) return error = text + ": " + error, false;
  }
  return true;
}

void PrintVocabulary() {
  std::printf("### World lines\n\n");
  PrintVerbTable(true);
  std::printf("\nAttributes of a `form` line:\n\n| attribute | meaning |\n|---|---|\n");
  for (const VocabularyEntry& attribute : FormAttributes()) {
    std::printf("| `%s%s` | %s |\n", attribute.word, Cell(attribute.arguments).c_str(),
                Cell(attribute.meaning).c_str());
  }
  std::printf(
      "\nKept reasons (`expect=REASON`), as the tally names them, in the order the rules "
      "test them:");
  const char* separator = " ";
  for (const char* reason : KeptReasonNames()) {
    std::printf("%s`%s`", separator, reason);
    separator = ", ";
  }
  std::printf(".\n\n### Action lines\n\n");
  PrintVerbTable(false);
  std::printf("\nOptions (`option NAME`):\n\n| option | meaning |\n|---|---|\n");
  for (const OptionEntry& option : OptionList) {
    std::printf("| `%s` | %s |\n", option.name, Cell(option.meaning).c_str());
  }
}

}  // namespace sim
