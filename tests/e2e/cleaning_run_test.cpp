// Whole cleaning runs on the real DLL: the loader's message, the two sinks called through
// their raw tables, both passes, both notices, disarming, and the failure paths.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/expected_texts.h"
#include "tests/e2e/list_checks.h"
#include "tests/e2e/pass_helpers.h"
#include "tests/e2e/report_checks.h"
#include "tests/support/row_name.h"

using testing_support::ArmedSettings;
using testing_support::BoxLine;
using testing_support::SimScenario;

namespace {

using testing_support::PrintTo;

const std::string World =
    "form FF00B001 S list=0\nform FF000001 K base=FF00B001\nform FF000002 V\n";
// One second of play at 60 updates a second from `start` seconds, then one update after a
// pause of 3.2 s: the moment a pending notice shows.
std::string PlayThenPause(int startSeconds) {
  const long long start = startSeconds * 1'000'000'000LL;
  return "updates " + std::to_string(start) + " 16666667 60\nupdate " +
         std::to_string(start + 4'200'000'000LL) + "\n";
}

const std::string FirstBox = BoxLine('a', expected::FirstPhaseNotice);
const std::string SecondBox = BoxLine('a', expected::SecondPhaseNotice);
const std::string SecondBoxWarned =
    BoxLine('a', expected::SecondPhaseNotice + expected::DisarmWarning);

TEST(CleaningRun, TwoLoadsTwoNoticesThenDisarmedAndDetached) {
  SimScenario scenario;
  scenario.WriteSettings("[General]\r\nbPluginActive=1\r\nbEraseOutposts=0\r\n");
  const auto result =
      scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) + "loadgame\n" +
                   PlayThenPause(10) + "loadgame\n" + PlayThenPause(20));
  const std::vector<std::string> expected = {BoxLine('a', expected::ArmedNotice),
                                             "attach load-game S1",
                                             "attach player-update S2",
                                             "dispatched load-game S1 -> 0",
                                             FirstBox,
                                             "dispatched load-game S1 -> 0",
                                             "detach load-game S1",
                                             SecondBox};
  EXPECT_EQ(result.Filter({"box-a", "attach", "detach", "dispatched load-game"}), expected)
      << result.All();
  EXPECT_EQ(pass_helpers::Erasures(result),
            (std::vector<std::string>{"KJ FF000001", "V FF000002"}));
  // Every call into a sink returned 0 to the engine.
  for (const auto& line : result.Filter({"dispatched"}))
    EXPECT_EQ(line.substr(line.size() - 4), "-> 0");
  const std::string settings = scenario.Folder().ReadSettings();
  EXPECT_NE(settings.find("bPluginActive=0"), std::string::npos) << settings;
  EXPECT_NE(settings.find("bEraseOutposts=0"), std::string::npos) << settings;
  EXPECT_TRUE(result.Completed());
}

TEST(LoaderMessages, OnlyTypeTwoAttachesLoadGameFirstThenThePlayerUpdateSource) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result =
      scenario.Run("load\nmessage 0\nmessage 1\nmessage 3\nmessage 4\nmessage null\nmessage 2\n");
  const std::vector<std::string> expected = {"message 0",
                                             "message 1",
                                             "message 3",
                                             "message 4",
                                             "message null",
                                             "message 2",
                                             "attach load-game S1",
                                             "player-update-source",
                                             "attach player-update S2"};
  EXPECT_EQ(result.Filter({"message", "attach", "player-update-source"}), expected) << result.All();
  EXPECT_TRUE(result.Completed());
}

TEST(CleaningRun, IdlePluginNeverAttachesAndLoadsChangeNothing) {
  SimScenario scenario;
  scenario.WriteSettings("[General]\r\nbPluginActive=0\r\n");
  const auto result = scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1));
  EXPECT_EQ(result.CountPrefix("attach"), 0) << result.All();
  EXPECT_EQ(result.CountPrefix("dispatched"), 0);
  EXPECT_EQ(result.CountPrefix("box"), 0);
  EXPECT_TRUE(pass_helpers::Erasures(result).empty());
}

TEST(EventSinks, SlotZeroIsTheDestructorEntryAndFreesNothing) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World +
                                   "load\nmessage 2\nheap-mark\nslot0 1\nslot0 0\n"
                                   "heap-since-mark\nloadgame\n");
  const std::vector<std::string> expected = {"slot0 S1 flags=1 -> self", "slot0 S2 flags=1 -> self",
                                             "slot0 S1 flags=0 -> self",
                                             "slot0 S2 flags=0 -> self"};
  EXPECT_EQ(result.Filter({"slot0"}), expected) << result.All();
  // Flag 1 asks a heap object to delete itself; a static sink must not free itself.
  EXPECT_TRUE(result.Has("frees 0")) << result.All();
  // The objects are intact afterwards: the engine can still deliver events to them.
  EXPECT_TRUE(result.Has("dispatched load-game S1 -> 0")) << result.All();
  EXPECT_EQ(pass_helpers::Erasures(result).size(), 2u);
}

TEST(FailedPass, FirstLoadEndsTheGameWithLine572AndKeepsThePluginArmed) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result =
      scenario.Run(World + "marker none\nload\nmessage 2\nloadgame\n" + PlayThenPause(1));
  const std::vector<std::string> expected = {BoxLine('w', expected::FailedPassFatal(572)),
                                             "terminate self=1 code=0"};
  EXPECT_EQ(result.Filter({"box-w", "terminate"}), expected) << result.All();
  EXPECT_EQ(result.CountPrefix("box-a"), 1) << "only the start-up notice: no phase notice";
  EXPECT_EQ(scenario.Folder().ReadSettings(), ArmedSettings);
}

TEST(FailedPass, TheGameProcessEndsWithExitCodeZero) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World +
                                   "option exit-on-terminate\nmarker none\nload\n"
                                   "message 2\nloadgame\n");
  EXPECT_EQ(result.exitCode, 0u) << result.All();
  EXPECT_TRUE(result.Has("terminate self=1 code=0"));
  EXPECT_FALSE(result.Completed());
  EXPECT_EQ(scenario.Folder().ReadSettings(), ArmedSettings);
}

TEST(FailedPass, SecondLoadEndsTheGameWithLine582) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) +
                                   "marker none\nloadgame\n" + PlayThenPause(10));
  EXPECT_EQ(result.Filter({"box-w", "terminate"}),
            (std::vector<std::string>{BoxLine('w', expected::FailedPassFatal(582)),
                                      "terminate self=1 code=0"}))
      << result.All();
  EXPECT_FALSE(result.Has(SecondBox));
  EXPECT_EQ(scenario.Folder().ReadSettings(), ArmedSettings);
  // Each list's section of the second load lists none of the first load's forms.
  report_checks::ExpectListsEndWithAFailedSection(scenario.Folder(), 2, "Second load");
}

struct DisarmFailureCase {
  const char* name;
  const char* breakSettings;
  const char* reportEnd;        // the report's end-of-run line; null: there is no report
  const char* beforeLoad = "";  // lines before the start
};

class DisarmFailureTest : public ::testing::TestWithParam<DisarmFailureCase> {};

TEST_P(DisarmFailureTest, SecondNoticeCarriesTheWarningAndTheSinkIsDetachedAnyway) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World + GetParam().beforeLoad + "load\nmessage 2\nloadgame\n" +
                                   PlayThenPause(1) + "loadgame\n" + GetParam().breakSettings +
                                   "\n" + PlayThenPause(10) + "loadgame\n");
  EXPECT_EQ(result.Filter({"detach", "box-a"}).back(), SecondBoxWarned) << result.All();
  EXPECT_EQ(result.Count("detach load-game S1"), 1);
  EXPECT_LT(result.IndexOf("detach load-game S1"), result.IndexOf(SecondBoxWarned));
  EXPECT_EQ(result.Count("dispatched load-game S1 -> 0"), 2) << "the third load is not heard";
  if (GetParam().reportEnd == nullptr) {
    EXPECT_FALSE(report_checks::ReportExists(scenario.Folder()));
  } else {
    const auto report = report_checks::ReadReport(scenario.Folder());
    ASSERT_GE(report.lines.size(), 2u);
    EXPECT_EQ(report.lines[report.lines.size() - 2], GetParam().reportEnd);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DisarmFailureTest,
    // Wine keeps a folder while a file in it is open (Windows 10 from 1903 does not): with no
    // report or list of its own, the run leaves the folder free to go.
    ::testing::Values(DisarmFailureCase{"FolderGone", "ini-remove-folder", nullptr,
                                        "deny-changes KelvarionSaveCleaner.\n"},
                      DisarmFailureCase{"DirectoryInPlaceOfTheFile", "ini-to-directory",
                                        "End of the run: bPluginActive could not be set "
                                        "to 0. Set it to 0 in KelvarionSaveCleaner.ini "
                                        "yourself."}),
    testing_support::RowName());

TEST(PhaseNotices, SecondLoadBeforeTheFirstNoticeShowsOnlyTheSecond) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result =
      scenario.Run(World + "load\nmessage 2\nloadgame\nloadgame\n" + PlayThenPause(1));
  EXPECT_EQ(result.Filter({"box-a", "detach"}),
            (std::vector<std::string>{BoxLine('a', expected::ArmedNotice), "detach load-game S1",
                                      SecondBox}))
      << result.All();
}

TEST(PhaseNotices, ThirdLoadBeforeTheSecondNoticeEndsTheRunSilently) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) +
                                   "loadgame\nloadgame\n" + PlayThenPause(10) + PlayThenPause(20));
  EXPECT_EQ(result.Filter({"box-a", "detach"}),
            (std::vector<std::string>{BoxLine('a', expected::ArmedNotice), FirstBox}))
      << result.All();
  EXPECT_EQ(scenario.Folder().ReadSettings(), ArmedSettings);
}

// The second load's pass completes while the first notice is still open. Its own notice
// must still come: clearing the flag after the first box would lose it, and the run would
// never detach or disarm.
TEST(PhaseNotices, ALoadWhileTheFirstNoticeIsOpenStillGetsItsNotice) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World + "load\nmessage 2\nbox 2 loadgame\nloadgame\n" +
                                   PlayThenPause(1) + PlayThenPause(10));
  EXPECT_EQ(result.Filter({"box-a", "detach"}),
            (std::vector<std::string>{BoxLine('a', expected::ArmedNotice), FirstBox,
                                      "detach load-game S1", SecondBox}))
      << result.All();
  EXPECT_NE(scenario.Folder().ReadSettings().find("bPluginActive=0"), std::string::npos);
}

TEST(PhaseMonitor, TheThrottledPathAllocatesNothing) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World +
                                   "load\nmessage 2\nloadgame\nupdates 1000000000 "
                                   "1000000 1000\nheap-mark\nupdates 2000000000 "
                                   "1000000 2000\nheap-since-mark\n");
  EXPECT_TRUE(result.Has("mallocs 0")) << result.All();
  EXPECT_EQ(result.CountPrefix("box-a"), 1);
}

}  // namespace

namespace {

// No exception may unwind into the loader or the engine: out of memory at a boundary is a
// quiet failure there.
TEST(Boundaries, LoadThatRunsOutOfMemoryReportsFailureToTheLoader) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run("malloc-fail 1 1\nload\nmessage 2\n");
  EXPECT_TRUE(result.Has("load -> 0")) << result.All();
  EXPECT_EQ(result.CountPrefix("box"), 0);
  EXPECT_EQ(result.CountPrefix("add-listener"), 0);
  EXPECT_TRUE(result.Completed());
}

TEST(Boundaries, MonitorThatRunsOutOfMemoryShowsTheNoticeAtTheNextCheck) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World +
                                   "load\nmessage 2\nloadgame\nmalloc-fail 1 1\n"
                                   "update 5000000000\nsay refused\nupdate 5300000000\n");
  EXPECT_EQ(result.CountPrefix("malloc-refused"), 1) << result.All();
  EXPECT_GT(result.IndexOf(FirstBox), result.IndexOf("refused")) << result.All();
  for (const auto& line : result.Filter({"dispatched"}))
    EXPECT_EQ(line.substr(line.size() - 4), "-> 0");
}

}  // namespace

namespace {

// The end of the run in its order, watched from the inside: the settings file as it is when
// the sink is detached, the write, then the notice.
TEST(RunEnd, DetachesBeforeWritingTheSettingsAndShowsTheNoticeAfterBoth) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) +
                                   "loadgame\non-detach ini-show\n" + PlayThenPause(10));
  const std::vector<std::string> expected = {
      "detach load-game S1", "ini [General]\\r\\nbPluginActive=1\\r\\n",  // still armed
      "settings-write [General] bPluginActive=0", SecondBox};
  EXPECT_EQ(result.Filter({"detach", "ini ", "settings-write", SecondBox}), expected)
      << result.All();
}

// Memory runs out in the write, after the detach: the next check, 250 ms after the failed
// one (not sooner, not after another pause), writes and shows the notice, and detaches
// nothing again.
TEST(RunEnd, AWriteThatRunsOutOfMemoryIsTriedAgainAtTheNextCheck) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) +
                                   "loadgame\non-detach malloc-fail 1 1\nupdate 15000000000\n"
                                   "update 15100000000\nsay next check\nupdate 15250000000\n");
  EXPECT_EQ(result.Count("detach load-game S1"), 1) << result.All();
  EXPECT_EQ(result.CountPrefix("malloc-refused"), 1) << result.All();
  EXPECT_EQ(result.CountPrefix("settings-write"), 1) << result.All();
  EXPECT_GT(result.IndexOf(SecondBox), result.IndexOf("next check")) << result.All();
  EXPECT_EQ(result.CountPrefix("error"), 0) << result.All();
  EXPECT_NE(scenario.Folder().ReadSettings().find("bPluginActive=0"), std::string::npos);
  const auto report = report_checks::ReadReport(scenario.Folder());
  EXPECT_EQ(std::count(report.lines.begin(), report.lines.end(),
                       "End of the run: bPluginActive is now 0; the plugin stays idle from the "
                       "next start."),
            1);
}

// The write fails (no folder), then memory runs out for the notice. When the notice comes,
// it still carries the warning: the write is not repeated, though it would now succeed.
TEST(RunEnd, ANoticeThatRunsOutOfMemoryKeepsTheWriteResult) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  // No report or list of its own, so that the folder can go (Wine keeps a folder with an open
  // file in it).
  const auto result = scenario.Run(
      World + "deny-changes KelvarionSaveCleaner.\nload\nmessage 2\nloadgame\n" + PlayThenPause(1) +
      "loadgame\nini-remove-folder\n"
      "on-settings-write malloc-fail-size 400 1000 1\n"
      "update 15000000000\nini-create-folder\nsay next check\n"
      "update 15250000000\nupdate 15500000000\n");
  EXPECT_EQ(result.CountPrefix("malloc-refused"), 1) << result.All();
  EXPECT_EQ(result.CountPrefix("settings-write"), 1) << result.All();
  EXPECT_EQ(result.Count("detach load-game S1"), 1) << result.All();
  EXPECT_EQ(result.Count(SecondBoxWarned), 1) << result.All();
  EXPECT_GT(result.IndexOf(SecondBoxWarned), result.IndexOf("next check"));
  EXPECT_EQ(result.CountPrefix("error"), 0) << result.All();
  EXPECT_TRUE(result.Has("settings-folder removed")) << result.All();
}

// The write lands, the report says so, then memory runs out for the notice (only texts the
// size of a notice are refused). The next check shows the notice; the write and the report's
// line are not repeated.
TEST(RunEnd, AFinishRetriedAfterTheReportWritesItsLineOnce) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result =
      scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) +
                   "loadgame\non-detach malloc-fail-size 400 1000 1\nupdate 15000000000\n"
                   "say next check\nupdate 15250000000\n");
  EXPECT_EQ(result.CountPrefix("malloc-refused"), 1) << result.All();
  EXPECT_EQ(result.CountPrefix("settings-write"), 1) << result.All();
  EXPECT_EQ(result.Count(SecondBox), 1) << result.All();
  EXPECT_GT(result.IndexOf(SecondBox), result.IndexOf("next check"));
  const auto report = report_checks::ReadReport(scenario.Folder());
  EXPECT_EQ(std::count(report.lines.begin(), report.lines.end(),
                       "End of the run: bPluginActive is now 0; the plugin stays idle from the "
                       "next start."),
            1);
}

// A third load that comes before the second notice counts, runs no pass and erases nothing,
// even with forms a pass would erase.
TEST(RunEnd, AThirdLoadBeforeTheSecondNoticeRunsNoPass) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result =
      scenario.Run(World + "load\nmessage 2\nloadgame\n" + PlayThenPause(1) + "loadgame\n" +
                   "form FF000003 K base=FF00B001\nform FF000004 V\nsay third load\nloadgame\n" +
                   PlayThenPause(10));
  const int third = result.IndexOf("third load");
  ASSERT_GE(third, 0) << result.All();
  EXPECT_EQ(result.IndexOf("lock", third), -1) << result.All();
  EXPECT_EQ(pass_helpers::Erasures(result),
            (std::vector<std::string>{"KJ FF000001", "V FF000002"}));
  EXPECT_EQ(result.Count("lock"), 2);
}

}  // namespace
