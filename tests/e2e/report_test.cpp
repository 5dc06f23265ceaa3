// The cleaning report a player reads: what it says of a whole run, tied to the simulator's
// own bookkeeping; where it lives and what becomes of an earlier one; and that a report that
// cannot be written changes nothing in the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <regex>

#include "sim/program_files.h"
#include "sim/scoped_handle.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/list_checks.h"
#include "tests/e2e/pass_helpers.h"
#include "tests/e2e/report_checks.h"
#include "tests/support/report_labels.h"
#include "tests/support/row_name.h"

using report_checks::OldReportName;
using report_checks::ReadReport;
using report_checks::ReportExists;
using report_checks::ReportName;
using testing_support::ArmedSettings;
using testing_support::SimScenario;

const wchar_t* const OldErasedListName = L"KelvarionSaveCleaner.erased.old.txt";
const wchar_t* const OldKeptListName = L"KelvarionSaveCleaner.kept.old.txt";

namespace {

using testing_support::PrintTo;

using report_checks::Expected;
using report_checks::FullRun;

// Each timestamp replaced by a token of its width, as the expected report holds it.
std::string WithoutTimestamps(const std::string& report) {
  static const std::regex timestamp("(^|\n)[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
  return std::regex_replace(report, timestamp, "$1YYYY-MM-DD hh:mm:ss");
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end + 1 - start));  // the line end is compared too
    start = end + 1;
  }
  return lines;
}

// The whole text, byte for byte: a column shifted by one blank, a dropped line or a changed
// label fails here until the expected report in tests/e2e/expected is written anew on purpose
// (tools/update-expected-report.sh). README shows both as samples.
struct ExpectedReportCase {
  const char* name;
  const wchar_t* scenario;
  const wchar_t* report;
};

class ExpectedReportTest : public ::testing::TestWithParam<ExpectedReportCase> {};

TEST_P(ExpectedReportTest, WritesExactlyTheExpectedReport) {
  // The shipped settings file, as the demonstration plays it.
  const std::string shipped = testing_support::ShippedSettings();
  ASSERT_FALSE(shipped.empty());
  SimScenario scenario;
  scenario.WriteSettings(shipped);
  const auto result = scenario.Run(Expected(GetParam().scenario));
  ASSERT_TRUE(result.Completed()) << result.All();
  const auto written = sim::ReadWholeFile(scenario.Folder().PluginFile(ReportName));
  ASSERT_TRUE(written.has_value());
  const auto actual = LinesOf(WithoutTimestamps(*written));
  const auto expected = LinesOf(Expected(GetParam().report));
  for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
    const std::string none = "(no line)";
    ASSERT_EQ(i < actual.size() ? actual[i] : none, i < expected.size() ? expected[i] : none)
        << "report line " << i + 1 << " differs from the expected report";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Report, ExpectedReportTest,
    ::testing::Values(ExpectedReportCase{"FullRun", L"full-run.scenario", L"full-run-report.log"},
                      ExpectedReportCase{"FailedFirstLoad", L"failed-run.scenario",
                                         L"failed-run-report.log"}),
    testing_support::RowName());

TEST(Report, AFullRunTiesEveryFigureToTheSimulatorsBookkeeping) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run("option fixed-local-time\n" + FullRun);
  ASSERT_TRUE(result.Completed()) << result.All();
  const auto report = ReadReport(scenario.Folder());
  // The plugin's local time reads 27 April 2031, 13:45:09: each stamp shows it year first,
  // then month, then day.
  const std::string raw = sim::ReadWholeFile(scenario.Folder().PluginFile(ReportName)).value_or("");
  const std::regex stamp("(^|\n)([0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2})  ");
  std::vector<std::string> stamps;
  for (std::sregex_iterator i(raw.begin(), raw.end(), stamp), end; i != end; ++i) {
    stamps.push_back((*i)[2]);
  }
  EXPECT_EQ(stamps, std::vector<std::string>(6, "2031-04-27 13:45:09"));

  const std::vector<std::string> header = {
      "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0: cleaning report",
      "Made for Kelvarion 1.15.216.0, the one game version it works with.",
      "Every line is explained in KelvarionSaveCleaner-README.txt, beside the plugin.",
      "Armed by bPluginActive=1. bEraseOutposts=0: outposts are kept."};
  ASSERT_GE(report.lines.size(), header.size());
  EXPECT_EQ(std::vector<std::string>(report.lines.begin(), report.lines.begin() + 4), header);
  ASSERT_EQ(report.passes.size(), 2u);
  report_checks::ExpectReportMatchesTallies(report, result);
  report_checks::ExpectFigures(report, {{report_labels::Erased, "1500"},
                                        {report_labels::Kept, "930"},
                                        {report_labels::Skipped, "0"},
                                        {report_labels::Unreadable, "70"}});
  EXPECT_EQ(report.passes[1].Figure(report_labels::Kept), "930");
  EXPECT_EQ(report.passes[1].Figure(report_labels::Skipped), "1500");
  EXPECT_EQ(report.passes[1].Figure(report_labels::Unreadable), "20");
  ASSERT_GE(report.lines.size(), 2u);
  EXPECT_EQ(report.lines[report.lines.size() - 2],
            "End of the run: bPluginActive is now 0; the plugin stays idle from the next start.");
  report_checks::ExpectErasedListMatchesEraseCalls(scenario.Folder(), result);
  report_checks::ExpectKeptListMatchesTally(scenario.Folder(), result);
  // Among them a write while the game's table lock was held: the files wait for its release.
  EXPECT_EQ(result.CountPrefix("error"), 0) << result.All();

  // Plain text any editor reads: ASCII, CR LF line ends, short, and no lists of FormIds.
  EXPECT_TRUE(report.crlfOnly);
  EXPECT_TRUE(report.asciiOnly);
  EXPECT_LE(report.lines.size(), 80u);
  const std::regex formId("[0-9A-F]{8}");
  for (const std::string& line : report.lines) {
    EXPECT_FALSE(std::regex_search(line, formId) && line.find("00000007") == std::string::npos &&
                 line.find("0020C59F") == std::string::npos)
        << line;
  }
}

const std::string Normal = "Verdict: every figure is in its normal range.";

struct VerdictCase {
  const char* name;
  std::string script;                          // the world and the loads
  std::string verdict;                         // the last pass's first line
  std::string next;                            // and the line after it
  std::vector<std::string> judged = {Normal};  // and its last lines: the figures judged
};

class VerdictTest : public ::testing::TestWithParam<VerdictCase> {};

// Each pass opens with what it did in plain words and what the player does at the box to come,
// and ends with the judgement of its figures.
TEST_P(VerdictTest, OpensThePassSectionInPlainWords) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run("form FF00B001 S list=0\nload\nmessage 2\n" + GetParam().script);
  ASSERT_TRUE(result.Completed()) << result.All();
  const auto report = ReadReport(scenario.Folder());
  ASSERT_FALSE(report.passes.empty());
  EXPECT_EQ(report.passes.back().title, GetParam().verdict);
  EXPECT_EQ(report.passes.back().next, GetParam().next);
  EXPECT_EQ(report.passes.back().verdict, GetParam().judged);
  report_checks::ExpectReportMatchesTallies(report, result);
  report_checks::ExpectErasedListMatchesEraseCalls(scenario.Folder(), result);
  report_checks::ExpectKeptListMatchesTally(scenario.Folder(), result);
}

const std::string ReloadNext =
    "Next: when the box says the phase is complete, create a new save in the Pause Menu and "
    "load it.";
const std::string QuitNext =
    "Next: when the box appears, create a new save and quit; that save is the cleaned one.";

// Two forms the rules erase and one they keep.
const std::string SomeForms =
    "form FF000001 K base=FF00B001 expect=erase\nform FF000002 V expect=erase\n"
    "form FF000003 K hold base=FF00B001 expect=k-hold-link\n";

// `count` forms of one kind, from `first` on: "V expect=erase" gives forms the rules erase.
std::string ManyForms(unsigned count, std::uint32_t first, const char* typeAndAttributes) {
  std::string forms;
  char line[96];
  for (unsigned i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "form %08X %s\n", first + i, typeAndAttributes);
    forms += line;
  }
  return forms;
}

std::string ManyErasableForms(unsigned count) {
  return ManyForms(count, 0xFF100000U, "V expect=erase");
}

INSTANTIATE_TEST_SUITE_P(
    Passes, VerdictTest,
    ::testing::Values(
        VerdictCase{"FirstLoad", SomeForms + "loadgame\n",
                    "First load: 2 forms erased (1 'K', 0 'J', 1 'V'), 1 kept.", ReloadNext},
        VerdictCase{"FirstLoadOneForm", "form FF000002 V expect=erase\nloadgame\n",
                    "First load: 1 form erased (0 'K', 0 'J', 1 'V'), 0 kept.", ReloadNext},
        VerdictCase{"FirstLoadNothingToErase",
                    "form FF000003 K hold base=FF00B001 expect=k-hold-link\nloadgame\n",
                    "First load: nothing to erase, 1 kept.", ReloadNext},
        VerdictCase{"SecondLoadNothingMore", SomeForms + "loadgame\nloadgame\n",
                    "Second load: nothing more to erase, a normal result.", QuitNext},
        VerdictCase{"SecondLoadErasesWhatTheReloadLeft",
                    SomeForms + "loadgame\nform FF000005 V expect=erase\nloadgame\n",
                    "Second load: 1 more form erased (0 'K', 0 'J', 1 'V'), 1 kept.", QuitNext},
        // More than the list's 256 KiB buffer holds (12 bytes a line): it is written in parts.
        VerdictCase{"FirstLoadErasesTwentyFiveThousand", ManyErasableForms(25000) + "loadgame\n",
                    "First load: 25000 forms erased (0 'K', 0 'J', 25000 'V'), 0 kept.",
                    ReloadNext},
        VerdictCase{"SecondLoadErasesSeveral",
                    SomeForms + "loadgame\nform FF000005 V expect=erase\n"
                                "form FF000006 J base=FF00B001 expect=erase\nloadgame\n",
                    "Second load: 2 more forms erased (0 'K', 1 'J', 1 'V'), 1 kept.", QuitNext},
        // One form kept for each rule the kept list names a word for, two it leaves out.
        VerdictCase{"EveryKeptReason",
                    "form 0000B002 S list=0\nform 00000007 S list=0\n"
                    "form 00002001 G list=0 items=m\nkept-a FF00000C\n"
                    "form FF000001 K hold base=FF00B001 expect=k-hold-link\n"
                    "form FF000002 K expect=k-no-base\n"
                    "form FF000003 K base=00000007 expect=k-base-7\n"
                    "form FF000004 K base=0000B002 expect=k-loaded-base\n"
                    "form FF000005 K holder=11 base=FF00B001 expect=k-named-items\n"
                    "form FF000006 K held base=FF00B001 expect=k-held\n"
                    "form FF000007 J hold base=FF00B001 expect=j-hold-link\n"
                    "form FF000008 J expect=j-no-base\n"
                    "form FF000009 J base=0000B002 expect=j-loaded-base\n"
                    "form FF00000A J holder=11 base=FF00B001 expect=j-named-items\n"
                    "form FF00000B J held base=FF00B001 expect=j-held\n"
                    "form FF00000C V expect=v-kept-form\n"
                    "form FF00000D V parent ids=0 cast=+20C59F expect=v-list-marked\n"
                    "form FF00000E V parent ids=00002001 expect=v-outpost\n"
                    "form FF00000F X expect=other-type\nform FF000010 K nullform\nloadgame\n",
                    "First load: nothing to erase, 16 kept.", ReloadNext},
        // Far more erased at the second load than a save and reload make, two of them unreadable.
        VerdictCase{
            "SecondLoadOutOfRange",
            SomeForms + "loadgame\n" + ManyErasableForms(99) +
                "form FF200001 V fault=parent expect=erase\n"
                "form FF200002 V fault=parent expect=erase\nloadgame\n",
            "Second load: 101 more forms erased (0 'K', 0 'J', 101 'V'), 1 kept.",
            QuitNext,
            {"Look at: forms with unreadable data, 1.9 in 100 of the 102 forms judged (1 to "
             "5 in 100): if none of the erased forms marked unreadable in the list is an "
             "object you care about, keep playing this save.",
             "Look at: forms erased at the second load, 101 (more than 100): more than a "
             "save and a reload make; check that you loaded the save you made at the "
             "first box."}}),
    testing_support::RowName());

// Memory is short at the armed start: the kept record gets 4096 forms' room (8 MiB to 64 KiB
// refused, after the erased record's two blocks). Past it the pass goes on as ever, and the
// list says from which form on it stops.
TEST(Report, AKeptListPastItsRoomSaysWhereItStops) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(
      "form FF00B001 S list=0\n" +
      ManyForms(4200, 0xFF200000U, "K hold base=FF00B001 expect=k-hold-link") +
      ManyErasableForms(10) + "malloc-fail-size 65536 16777216 8 2\nload\nmessage 2\nloadgame\n");
  ASSERT_TRUE(result.Completed()) << result.All();
  EXPECT_EQ(result.CountPrefix("malloc-refused"), 8);
  report_checks::ExpectReportMatchesTallies(ReadReport(scenario.Folder()), result);
  report_checks::ExpectErasedListMatchesEraseCalls(scenario.Folder(), result);
  report_checks::ExpectKeptListMatchesTally(scenario.Folder(), result);
  const auto kept = report_checks::ReadListSections(scenario.Folder(), report_checks::KeptListName);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].closing,
            "4096 forms listed; incomplete from FF201000 on: the plugin had no room for more");
}

// No line names bEraseOutposts=0, and the erased 'V' line says how many were outposts.
TEST(Report, WithOutpostsErasedTheHeaderSaysSoAndTheyCountAsErased) {
  SimScenario scenario;
  scenario.WriteSettings(testing_support::ArmedWithOutposts);
  const auto result = scenario.Run(FullRun);
  const auto report = ReadReport(scenario.Folder());
  ASSERT_GE(report.lines.size(), 4u);
  EXPECT_EQ(report.lines[3],
            "Armed by bPluginActive=1. bEraseOutposts=1: outposts are erased too.");
  report_checks::ExpectReportMatchesTallies(report, result);
  report_checks::ExpectFigures(report,
                               {{report_labels::OutpostsErased, "0"},
                                {report_labels::ErasedV, "550"},
                                {report_labels::KeptReasonNamed("v-outpost").label, "(missing)"}});
  // Both passes: the suffix shows only when some outposts were erased (none at the second).
  ASSERT_EQ(report.passes.size(), 2u);
  EXPECT_EQ(report.passes[0].notes.at(report_labels::ErasedV), "(100 outposts)");
  EXPECT_EQ(report.passes[1].notes.at(report_labels::ErasedV), "");
  report_checks::ExpectErasedListMatchesEraseCalls(scenario.Folder(), result);
  report_checks::ExpectKeptListMatchesTally(scenario.Folder(), result);
}

// Memory stays exhausted from the load on: the failure line and the lists' sections still
// reach the disk, for the report and the lists allocate nothing, and the fatal box still shows
// and ends the game: its text is composed without the heap (throwing bad_alloc would end in the
// C++ runtime's abort() on a thread that never threw).
TEST(Report, AFailureLineNeedsNoMemory) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result =
      scenario.Run("demo-world\nmarker none\nload\nmessage 2\nmalloc-fail 1 100000000\nloadgame\n");
  EXPECT_TRUE(ReadReport(scenario.Folder())
                  .Has("First load: the cleaning pass FAILED: the game's outpost marker is "
                       "missing. Nothing was erased or kept. The game ends without saving; the "
                       "plugin stays armed."));
  EXPECT_EQ(result.Filter({"box-w", "terminate"}),
            (std::vector<std::string>{testing_support::BoxLine('w', expected::FailedPassFatal(572)),
                                      "terminate self=1 code=0"}))
      << result.All();
  // So do both lists' sections of the failed pass.
  report_checks::ExpectListsEndWithAFailedSection(scenario.Folder(), 1, "First load");
}

// A pass allocates nothing at all, its report and its lists' sections included: neither one that
// erases nothing nor one that erases thousands of forms, among them 'V' forms whose parents'
// IdLists name forms the game knows.
TEST(Report, APassAndItsReportAllocateNothing) {
  const std::string named = "form 0000A001 S list=0 items=x;0\nform 0000A002 S list=0 items=x\n";
  for (const std::string& world :
       {std::string("form FF000001 K hold base=FF00B001 expect=k-hold-link\n"
                    "form FF00B001 S list=0\nform FF000002 X\n"),
        named + ManyErasableForms(3000) +
            ManyForms(2000, 0xFF300000U, "V parent ids=0000A001;0000A002;0000A003 expect=erase")}) {
    SimScenario scenario;
    scenario.WriteSettings(ArmedSettings);
    const auto result =
        scenario.Run(world + "load\nmessage 2\nheap-mark\nloadgame\nheap-since-mark\n");
    EXPECT_TRUE(result.Has("mallocs 0")) << result.All();
    const auto report = ReadReport(scenario.Folder());
    ASSERT_EQ(report.passes.size(), 1u);
    report_checks::ExpectReportMatchesTallies(report, result);
    report_checks::ExpectErasedListMatchesEraseCalls(scenario.Folder(), result);
    report_checks::ExpectKeptListMatchesTally(scenario.Folder(), result);
  }
}

// The game ends inside a pass (it crashes in an engine call, or the player ends it): the report
// ends with the pass's begins line, on disk before the lock was taken. The next armed start in
// the same folder says in its header which pass that was, and where that report is now.
TEST(Report, AGameThatDiesInsideAPassIsNamedByTheNextStart) {
  const std::string start = ManyErasableForms(5) + "load\nmessage 2\nloadgame\n";
  const struct {
    const char* load;
    std::string script;
  } rows[] = {{"first", "on-erase 3 die\n" + start},
              {"second", "on-erase 7 die\n" + start + ManyForms(3, 0xFF200000U, "V expect=erase") +
                             "loadgame\n"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.load);
    SimScenario scenario;
    scenario.WriteSettings(ArmedSettings);
    const auto died = scenario.Run(row.script);
    EXPECT_TRUE(died.Has("game-dies")) << died.All();
    EXPECT_FALSE(died.Completed());
    const std::string began =
        std::string(row.load[0] == 'f' ? "First" : "Second") + " load: the cleaning pass begins.";
    EXPECT_EQ(ReadReport(scenario.Folder()).lines.back(), began);
    scenario.Run("load\n");
    const auto next = ReadReport(scenario.Folder());
    ASSERT_GE(next.lines.size(), 2u);
    EXPECT_EQ(next.lines[1], std::string("The report KelvarionSaveCleaner.log held at this start "
                                         "ends during its ") +
                                 row.load +
                                 " load's cleaning pass: the game closed before that pass "
                                 "finished. That report is now KelvarionSaveCleaner.old.log.");
    EXPECT_TRUE(sim::ReadWholeFile(scenario.Folder().PluginFile(OldReportName))
                    .value_or("")
                    .ends_with(began + "\r\n"));
  }
}

TEST(Report, TheRunsEndIsWrittenAfterTheSettingsAndBeforeTheNotice) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  // Box 3 is the second phase's notice.
  const auto result = scenario.Run("on-settings-write report-show\nbox 3 report-show\n" + FullRun);
  const auto shown = result.Filter({"report "});
  ASSERT_EQ(shown.size(), 2u) << result.All();
  EXPECT_EQ(shown[0].find("End of the run"), std::string::npos) << "written before the settings";
  EXPECT_NE(shown[1].find("End of the run"), std::string::npos) << "not written before the box";
}

TEST(Report, AnArmedStartKeepsThePreviousReportAsTheOldOne) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto& folder = scenario.Folder();
  sim::WriteWholeFile(folder.PluginFile(ReportName), "the report of a run that ended badly\r\n");
  sim::WriteWholeFile(folder.PluginFile(OldReportName), "an older report\r\n");
  sim::WriteWholeFile(folder.PluginFile(report_checks::ErasedListName), "its list\r\n");
  sim::WriteWholeFile(folder.PluginFile(OldErasedListName), "an older list\r\n");
  sim::WriteWholeFile(folder.PluginFile(report_checks::KeptListName), "its kept\r\n");
  const auto result = scenario.Run("load\n");
  EXPECT_EQ(sim::ReadWholeFile(folder.PluginFile(OldReportName)),
            "the report of a run that ended badly\r\n");
  EXPECT_EQ(sim::ReadWholeFile(folder.PluginFile(OldErasedListName)), "its list\r\n");
  EXPECT_EQ(sim::ReadWholeFile(folder.PluginFile(OldKeptListName)), "its kept\r\n");
  EXPECT_TRUE(sim::ReadWholeFile(folder.PluginFile(report_checks::ErasedListName))
                  .value_or("")
                  .starts_with("Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0: "));
  const auto report = ReadReport(folder);
  ASSERT_FALSE(report.lines.empty());
  EXPECT_EQ(report.lines[0],
            "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0: cleaning report");
}

struct IdleCase {
  const char* name;
  const char* report;     // an earlier report, or null
  const char* oldReport;  // an earlier old report, or null
};

class IdleReportTest : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleReportTest, AnIdleStartTouchesNeitherReport) {
  SimScenario scenario;
  scenario.WriteSettings("[General]\r\nbPluginActive=0\r\n");
  const auto& folder = scenario.Folder();
  // The lists and their old ones stand beside them, with the same texts.
  const std::pair<const wchar_t*, const char*> files[] = {
      {ReportName, GetParam().report},
      {OldReportName, GetParam().oldReport},
      {report_checks::ErasedListName, GetParam().report},
      {OldErasedListName, GetParam().oldReport},
      {report_checks::KeptListName, GetParam().report},
      {OldKeptListName, GetParam().oldReport}};
  for (const auto& [name, text] : files) {
    if (text) sim::WriteWholeFile(folder.PluginFile(name), text);
  }
  scenario.Run("demo-world\nload\nmessage 2\nloadgame\nupdate 5000000000\n");
  for (const auto& [name, text] : files) {
    EXPECT_EQ(sim::ReadWholeFile(folder.PluginFile(name)),
              text ? std::optional<std::string>(text) : std::nullopt);
  }
}

INSTANTIATE_TEST_SUITE_P(Earlier, IdleReportTest,
                         ::testing::Values(IdleCase{"NoReports", nullptr, nullptr},
                                           IdleCase{"BothReports", "last run\r\n", "before\r\n"},
                                           IdleCase{"OnlyTheOldOne", nullptr, "before\r\n"}),
                         testing_support::RowName());

TEST(Report, AStartWithoutMessagingSaysNoCleaningWillHappen) {
  for (const char* option : {"no-messaging", "no-listener-slot", "no-lookup-service"}) {
    SimScenario scenario;
    scenario.WriteSettings(ArmedSettings);
    scenario.Run(std::string("option ") + option + "\nload\n");
    const auto report = ReadReport(scenario.Folder());
    ASSERT_FALSE(report.lines.empty()) << option;
    EXPECT_EQ(report.lines.back(),
              "The loader offers no messaging service: no cleaning will happen in this game "
              "session.")
        << option;
  }
}

}  // namespace
