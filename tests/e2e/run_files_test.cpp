// Where the report and the list of erased forms go when other programs hold, mark read-only or
// stand in the way of the files in the plugin folder, as on a player's Windows: the run itself
// (boxes, erase calls, settings write) never changes, no earlier file is lost, and the report
// names the file a helper must read.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "sim/scoped_handle.h"
#include "tests/e2e/list_checks.h"
#include "tests/e2e/report_checks.h"
#include "tests/support/row_name.h"

using report_checks::ErasedListName;
using report_checks::OldReportName;
using report_checks::ReportName;
using testing_support::ArmedSettings;
using testing_support::SimScenario;

namespace {

using testing_support::PrintTo;

const wchar_t* const OldListName = L"KelvarionSaveCleaner.erased.old.txt";
// A file's content in a row: a folder stands there instead.
const char* const Folder = nullptr;

// What a player sees of a run: boxes, erase calls, detaching, the settings write, the end.
std::vector<std::string> RunAsThePlayerSeesIt(const testing_support::SimResult& result) {
  return result.Filter({"box-a", "box-w", "begin-erase", "finish-erase", "erase-v", "detach",
                        "settings-write", "terminate", "load ->", "error", "crash", "end"});
}

// Where the run's report or list must be found afterwards (NoRecord: the kept list says that
// it lists nothing in this run).
enum class Goes { UsualName, OtherName, Nowhere, NoRecord };

struct RunFileNaming {
  const wchar_t* usual;
  const wchar_t* otherPattern;  // the names of the run's own
  const char* holds;
};
const RunFileNaming ReportFile{ReportName, L"KelvarionSaveCleaner.2*.log", "report"};
const RunFileNaming ErasedListFile{ErasedListName, L"KelvarionSaveCleaner.erased.2*.txt",
                                   "list of erased forms"};
const RunFileNaming KeptListFile{report_checks::KeptListName, L"KelvarionSaveCleaner.kept.2*.txt",
                                 "list of kept forms"};

using Files = std::vector<std::pair<const wchar_t*, const char*>>;

struct DestinationCase {
  const char* name;
  std::string script = "";  // lines before the run
  Files before = {};        // files in the plugin folder before the run
  Files after = {};         // what they hold afterwards, beside the run's own files
  Goes report = Goes::UsualName;
  Goes list = Goes::UsualName;
  Goes kept = Goes::UsualName;
  const char* why = "";  // why a file went under another name, as the report's header says
  // Every hold, release, refusal and wait the simulator traces.
  std::vector<std::string> traced = {};
  const wchar_t* readOnly = nullptr;
  const wchar_t* heldForGood = nullptr;  // by this test program, without sharing
  std::size_t gameFolderLength = 0;
};

// What the simulator traces when it refuses to create a run file under its usual name and
// under the run's own ("KelvarionSaveCleaner.erased", ".txt").
std::vector<std::string> CreationsDenied(std::vector<std::pair<std::string, std::string>> files) {
  std::vector<std::string> traced;
  for (const auto& [stem, extension] : files) {
    for (const char* name : {"", ".2031-04-27_134509"}) {
      traced.push_back("file-refused create " + stem + name + extension + " denied");
    }
  }
  return traced;
}

class BadDestinationTest : public ::testing::TestWithParam<DestinationCase> {};

// At a fixed time, so that a name of the run's own is known: ".2031-04-27_134509".
const std::string FullRunAtAFixedTime =
    "option fixed-local-time\n" + report_checks::FullRun + "update 20000000000\n";

const testing_support::SimResult& Reference(std::vector<std::string>* reportLines) {
  static SimScenario scenario;
  static const testing_support::SimResult result = [] {
    scenario.WriteSettings(ArmedSettings);
    return scenario.Run(FullRunAtAFixedTime);
  }();
  static const std::vector<std::string> lines = report_checks::ReadReport(scenario.Folder()).lines;
  *reportLines = lines;
  return result;
}

// The one file of the run's own name ("KelvarionSaveCleaner.erased.2031-...txt"), or "".
std::wstring OtherName(const sim::ScratchGameFolder& folder, const wchar_t* pattern) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(folder.PluginFile(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return L"";
  std::wstring name = found.cFileName;
  if (FindNextFileW(search, &found)) name = L"(more than one)";
  FindClose(search);
  return name;
}

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

TEST_P(BadDestinationTest, LeavesTheRunUnchangedAndLosesNoFile) {
  const DestinationCase& row = GetParam();
  std::vector<std::string> expectedReport;
  const auto expected = RunAsThePlayerSeesIt(Reference(&expectedReport));

  SimScenario scenario(row.gameFolderLength);
  scenario.WriteSettings(ArmedSettings);
  const auto& folder = scenario.Folder();
  for (const auto& [name, content] : row.before) {
    if (content == Folder) {
      ASSERT_TRUE(CreateDirectoryW(folder.PluginFile(name).c_str(), nullptr));
    } else {
      sim::WriteWholeFile(folder.PluginFile(name), content);
    }
  }
  if (row.readOnly)
    SetFileAttributesW(folder.PluginFile(row.readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
  sim::ScopedHandle held;
  if (row.heldForGood) {
    *held.Receive() =
        CreateFileW(folder.PluginFile(row.heldForGood).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_TRUE(held.Valid());
  }
  const auto result = scenario.Run(row.script + FullRunAtAFixedTime);
  held.Close();
  if (row.readOnly)
    SetFileAttributesW(folder.PluginFile(row.readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_EQ(RunAsThePlayerSeesIt(result), expected) << result.All();
  EXPECT_EQ(result.Filter({"hold ", "release ", "file-refused ", "settings-folder ", "sleep "}),
            row.traced);
  for (const auto& [name, content] : row.after) {
    const std::wstring path = folder.PluginFile(name);
    if (content == Folder) {
      EXPECT_NE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << Narrow(name);
    } else {
      EXPECT_EQ(sim::ReadWholeFile(path), content) << Narrow(name);
    }
  }

  // The run's own files, and the report's lines that say where they went.
  std::vector<std::string> notes;
  const auto placed = [&](const RunFileNaming& file, Goes goes) -> std::wstring {
    const std::wstring other = OtherName(folder, file.otherPattern);
    EXPECT_EQ(other.empty(), goes != Goes::OtherName) << Narrow(other);
    if (goes == Goes::OtherName) {
      notes.push_back("This run's " + std::string(file.holds) + " is " + Narrow(other) + ": " +
                      Narrow(file.usual) + " could not be replaced, as " + row.why + ".");
      return other;
    }
    if (goes == Goes::Nowhere) {
      notes.push_back("  The " + std::string(file.holds) + " (" + Narrow(file.usual) +
                      ") could not be written.");
      return L"";
    }
    return file.usual;
  };
  const std::wstring report = placed(ReportFile, row.report);
  const std::wstring erasedList = placed(ErasedListFile, row.list);
  const std::wstring keptList =
      placed(KeptListFile, row.kept == Goes::NoRecord ? Goes::UsualName : row.kept);
  if (row.report == Goes::Nowhere) return;
  if (!erasedList.empty())
    report_checks::ExpectErasedListMatchesEraseCalls(folder, result, erasedList.c_str());
  if (row.kept == Goes::NoRecord) {
    notes.push_back("There is no list of kept forms in this run: too little memory at the start.");
    EXPECT_TRUE(report_checks::ReadListSections(folder, keptList.c_str()).empty());
  } else if (!keptList.empty()) {
    report_checks::ExpectKeptListMatchesTally(folder, result, keptList.c_str(),
                                              erasedList.empty() ? nullptr : erasedList.c_str());
  }
  auto lines =
      report_reader::Parse(sim::ReadWholeFile(folder.PluginFile(report.c_str())).value_or(""))
          .lines;
  // The notes come in the report's header; an unwritten list is said once a pass.
  for (const std::string& note : notes) {
    EXPECT_EQ(std::erase(lines, note), note.rfind("  ", 0) == 0 ? 2u : 1u) << note;
  }
  EXPECT_EQ(lines, expectedReport);
}

const char* const Previous = "the previous run's\r\n";
const char* const Older = "an older run's\r\n";

INSTANTIATE_TEST_SUITE_P(
    Destinations, BadDestinationTest,
    ::testing::Values(
        // The folder goes (and comes back empty) while the armed notice is open. Windows 10
        // from 1903 removes it with the run's files open in it; Wine, like earlier Windows,
        // keeps it until they close. Either way the run goes on as ever.
        DestinationCase{.name = "FolderGoneAfterTheStart",
                        .script = "box 1 ini-remove-folder\nbox 1 ini-create-folder\n",
                        .report = Goes::Nowhere,
                        .list = Goes::Nowhere,
                        .traced = {"settings-folder kept"}},
        // With no run file open in it, the folder does go.
        DestinationCase{.name = "FolderGoneWithNoRunFileOpen",
                        .script = "deny-changes KelvarionSaveCleaner.\nbox 1 ini-remove-folder\n"
                                  "box 1 ini-create-folder\n",
                        .report = Goes::Nowhere,
                        .list = Goes::Nowhere,
                        .traced =
                            [] {
                              auto traced =
                                  CreationsDenied({{"KelvarionSaveCleaner", ".log"},
                                                   {"KelvarionSaveCleaner.erased", ".txt"},
                                                   {"KelvarionSaveCleaner.kept", ".txt"}});
                              traced.push_back("settings-folder removed");
                              return traced;
                            }()},
        DestinationCase{.name = "DirectoryInTheReportsPlace",
                        .before = {{ReportName, Folder}},
                        .after = {{ReportName, Folder}},
                        .report = Goes::OtherName,
                        .why = "a folder stands in the place of KelvarionSaveCleaner.log"},
        // A program that writes the report, and shares it for reading and deleting only, as a
        // second game process would: it is not moved from under its writer, and this run's report
        // takes its own name at once.
        DestinationCase{.name = "ReportWrittenByASecondGame",
                        .script = "hold KelvarionSaveCleaner.log rd for=w\n",
                        .before = {{ReportName, Previous}},
                        .after = {{ReportName, Previous}},
                        .report = Goes::OtherName,
                        .why = "another program is writing it: a second game, or another program",
                        .traced = {"hold KelvarionSaveCleaner.log -> held"}},
        // A program that shares nothing holds the file, whatever it does with it.
        DestinationCase{.name = "ReportHeldOpenWithoutSharing",
                        .before = {{ReportName, Previous}},
                        .after = {{ReportName, Previous}},
                        .report = Goes::OtherName,
                        .why = "another program has KelvarionSaveCleaner.log open (close it "
                               "before the next start)",
                        .traced = std::vector<std::string>(5, "sleep 100"),
                        .heldForGood = ReportName},
        DestinationCase{.name = "OldReportHeldOpenWithoutSharing",
                        .before = {{ReportName, Previous}, {OldReportName, Older}},
                        .after = {{ReportName, Previous}, {OldReportName, Older}},
                        .report = Goes::OtherName,
                        .why = "another program has KelvarionSaveCleaner.old.log open (close it "
                               "before the next start)",
                        .traced = std::vector<std::string>(5, "sleep 100"),
                        .heldForGood = OldReportName},
        DestinationCase{.name = "DirectoryInTheKeptListsPlace",
                        .before = {{report_checks::KeptListName, Folder}},
                        .after = {{report_checks::KeptListName, Folder}},
                        .kept = Goes::OtherName,
                        .why = "a folder stands in the place of KelvarionSaveCleaner.kept.txt"},
        DestinationCase{.name = "DirectoryInTheListsPlace",
                        .before = {{ErasedListName, Folder}},
                        .after = {{ErasedListName, Folder}},
                        .list = Goes::OtherName,
                        .why = "a folder stands in the place of KelvarionSaveCleaner.erased.txt"},
        // Windows refuses the player the folder (a game under Program Files, Controlled Folder
        // Access) and an elevated run left its files there: none is moved, none written, and no
        // rename is retried: a refusal by permission is no program's passing hold.
        DestinationCase{.name = "FolderRefusesThePlayer",
                        .script = "deny-changes KelvarionSaveCleaner.\n",
                        .before = {{ReportName, Previous},
                                   {OldReportName, Older},
                                   {ErasedListName, Previous},
                                   {report_checks::KeptListName, Previous}},
                        .after = {{ReportName, Previous},
                                  {OldReportName, Older},
                                  {ErasedListName, Previous},
                                  {report_checks::KeptListName, Previous}},
                        .report = Goes::Nowhere,
                        .list = Goes::Nowhere,
                        .kept = Goes::Nowhere,
                        .traced = {"file-refused rename KelvarionSaveCleaner.log denied",
                                   "file-refused open KelvarionSaveCleaner.old.log denied",
                                   "file-refused create KelvarionSaveCleaner.log denied",
                                   "file-refused create KelvarionSaveCleaner.2031-04-27_134509.log "
                                   "denied",
                                   "file-refused rename KelvarionSaveCleaner.erased.txt denied",
                                   "file-refused create KelvarionSaveCleaner.erased.txt denied",
                                   "file-refused create "
                                   "KelvarionSaveCleaner.erased.2031-04-27_134509.txt denied",
                                   "file-refused rename KelvarionSaveCleaner.kept.txt denied",
                                   "file-refused create KelvarionSaveCleaner.kept.txt denied",
                                   "file-refused create "
                                   "KelvarionSaveCleaner.kept.2031-04-27_134509.txt denied"}},
        DestinationCase{.name = "ListCannotBeCreated",
                        .script = "deny-changes .erased.\n",
                        .list = Goes::Nowhere,
                        .traced = CreationsDenied({{"KelvarionSaveCleaner.erased", ".txt"}})},
        // Windows refuses the usual name alone: the run's own name is let.
        DestinationCase{.name = "UsualListNameRefused",
                        .script = "deny-changes KelvarionSaveCleaner.erased.txt\n",
                        .list = Goes::OtherName,
                        .why = "Windows refused to move it aside or to create it",
                        .traced = {"file-refused create KelvarionSaveCleaner.erased.txt denied"}},
        DestinationCase{.name = "KeptListCannotBeCreated",
                        .script = "deny-changes .kept.\n",
                        .kept = Goes::Nowhere,
                        .traced = CreationsDenied({{"KelvarionSaveCleaner.kept", ".txt"}})},
        // The kept record's room (8 MiB, then halves down to 32 KiB) cannot be had at the
        // armed start, after the erased record's two blocks: the passes erase exactly what
        // they would, and no kept form is listed.
        DestinationCase{.name = "NoMemoryForTheKeptList",
                        .script = "malloc-fail-size 32768 16777216 9 2\n",
                        .kept = Goes::NoRecord},
        // A reader that shares writing (Notepad, a tail) reads along from the first box on.
        DestinationCase{.name = "ReaderSharingWritesHoldsTheList",
                        .script = "box 1 hold KelvarionSaveCleaner.erased.txt rw\n",
                        .traced = {"hold KelvarionSaveCleaner.erased.txt -> held"}},
        // A spreadsheet asks to deny writers after the first phase's box: it is refused, and
        // offers a read-only copy instead; the second pass's section is written.
        DestinationCase{.name = "WriterDenierRefusedAfterTheFirstBox",
                        .script = "box 2 hold KelvarionSaveCleaner.erased.txt r\n",
                        .traced = {"hold KelvarionSaveCleaner.erased.txt -> error 32"}},
        // Once the run's end is written the files are free: a spreadsheet opens each at the
        // second phase's box.
        DestinationCase{.name = "WriterDenierOpensEachFileAfterTheRunsEnd",
                        .script = "box 3 hold KelvarionSaveCleaner.log r\n"
                                  "box 3 hold KelvarionSaveCleaner.erased.txt r\n"
                                  "box 3 hold KelvarionSaveCleaner.kept.txt r\n",
                        .traced = {"hold KelvarionSaveCleaner.log -> held",
                                   "hold KelvarionSaveCleaner.erased.txt -> held",
                                   "hold KelvarionSaveCleaner.kept.txt -> held"}},
        // Explorer renames or deletes a list while the run holds it: it opens the list for
        // deleting, sharing everything, and is let.
        DestinationCase{.name = "ExplorerMayRenameAListDuringTheRun",
                        .script = "box 1 hold KelvarionSaveCleaner.kept.txt rwd for=d\n",
                        .traced = {"hold KelvarionSaveCleaner.kept.txt -> held"}},
        // A scanner holds the previous list (sharing violation) or its old one (access denied)
        // and lets go after the plugin's first rename has failed: the rename is tried again.
        DestinationCase{.name = "PreviousListHeldForAMoment",
                        .script = "hold KelvarionSaveCleaner.erased.txt r until-rename-fails\n",
                        .before = {{ErasedListName, Previous}},
                        .after = {{OldListName, Previous}},
                        .traced = {"hold KelvarionSaveCleaner.erased.txt -> held",
                                   "release kelvarionsavecleaner.erased.txt", "sleep 100"}},
        DestinationCase{
            .name = "OldListHeldForAMoment",
            .script = "hold KelvarionSaveCleaner.erased.old.txt rwd until-rename-fails\n",
            .before = {{ErasedListName, Previous}, {OldListName, Older}},
            .after = {{OldListName, Previous}},
            .traced = {"hold KelvarionSaveCleaner.erased.old.txt -> held",
                       "release kelvarionsavecleaner.erased.old.txt", "sleep 100"}},
        // A player marked the old list read-only to keep it: it stays, and so does the list it
        // would have replaced; the run's list takes a name of its own.
        DestinationCase{.name = "ReadOnlyOldList",
                        .before = {{ErasedListName, Previous}, {OldListName, Older}},
                        .after = {{ErasedListName, Previous}, {OldListName, Older}},
                        .list = Goes::OtherName,
                        .why = "KelvarionSaveCleaner.erased.old.txt is read-only, and the "
                               "cleaner keeps it",
                        .readOnly = OldListName},
        // A spreadsheet holds the previous list, denying writers, through the whole start.
        DestinationCase{.name = "ListHeldBySpreadsheet",
                        .script = "hold KelvarionSaveCleaner.erased.txt r\n",
                        .before = {{ErasedListName, Previous}},
                        .after = {{ErasedListName, Previous}},
                        .list = Goes::OtherName,
                        .why = "another program has KelvarionSaveCleaner.erased.txt open (close "
                               "it before the next start)",
                        .traced =
                            [] {
                              std::vector<std::string> traced(6, "sleep 100");
                              traced[0] = "hold KelvarionSaveCleaner.erased.txt -> held";
                              return traced;
                            }()},
        // A game folder of 214 characters: the settings file (43 more) still fits Windows'
        // 260; the .old names (47 and 54 more) fit only as \\?\ paths, as does the list.
        DestinationCase{.name = "LongGameFolder",
                        .before = {{ReportName, Previous}, {ErasedListName, Previous}},
                        .after = {{OldReportName, Previous}, {OldListName, Previous}},
                        .gameFolderLength = 214}),
    testing_support::RowName());

}  // namespace
