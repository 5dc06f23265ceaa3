// The monitor's timing on the real DLL: the simulator drives the plugin's steady clock
// (through its import table), so each call happens at an exact nanosecond.
#include <gtest/gtest.h>

#include "tests/e2e/expected_texts.h"
#include "tests/support/row_name.h"
#include "tests/support/sim_run.h"

using testing_support::BoxLine;
using testing_support::SimScenario;

namespace {

using testing_support::PrintTo;

const std::string FirstBox = BoxLine('a', expected::FirstPhaseNotice);

// After one successful load, runs the updates and returns the index of the update line
// after which the first notice appeared, or -1. `beforeLoad`: lines between the attaching of
// the sinks and the load.
int UpdateThatShowsTheNotice(const std::vector<long long>& times, const std::string& beforeLoad) {
  SimScenario scenario;
  scenario.WriteSettings(testing_support::ArmedSettings);
  std::string script = "form FF000001 V\nload\nmessage 2\n" + beforeLoad + "loadgame\n";
  for (std::size_t i = 0; i < times.size(); ++i) {
    script += "update " + std::to_string(times[i]) + "\nsay after " + std::to_string(i) + "\n";
  }
  const auto result = scenario.Run(script);
  const int box = result.IndexOf(FirstBox);
  if (box < 0) return -1;
  for (std::size_t i = 0; i < times.size(); ++i) {
    if (result.IndexOf("after " + std::to_string(i)) > box) return static_cast<int>(i);
  }
  return -1;
}

struct TimingCase {
  const char* name;
  std::vector<long long> times;
  int showsAt;                  // index into times, or -1
  std::string beforeLoad = "";  // the performance counter, when not at 1 GHz from 0
};

// Machines up for days: the counter's reading times a million passes 63 bits after 10.7 days
// at 10 MHz (20 days lands where that product wraps to a negative value) and after an hour at
// 3 GHz. A player update before the load makes the first check (at clock 0) one the wait
// counts from.
const std::string TwentyDaysAt10MHz = "performance-counter 10000000 1728000\nupdate 0\n";
const std::string ThirtyDaysAt3GHz = "performance-counter 3000000000 2592000\nupdate 0\n";

class MonitorTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(MonitorTimingTest, ShowsTheNoticeExactlyWhenDue) {
  EXPECT_EQ(UpdateThatShowsTheNotice(GetParam().times, GetParam().beforeLoad), GetParam().showsAt);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, MonitorTimingTest,
    ::testing::Values(
        // The first check compares the clock reading itself.
        TimingCase{"FirstCallAtExactlyTheWait", {3'001'000'000}, 0},
        TimingCase{"FirstCallJustBefore", {3'000'999'999}, -1},
        TimingCase{"ExactlyTheWaitBetweenChecks", {1'000'000'000, 4'001'000'000}, 1},
        TimingCase{"OneNanosecondShort", {1'000'000'000, 4'000'999'999}, -1},
        TimingCase{"ThreeSecondsIsNotEnough", {1'000'000'000, 4'000'000'000, 7'000'000'000}, -1},
        // A throttled call does not move the last check...
        TimingCase{
            "ThrottledCallDoesNotMoveTheCheck", {1'000'000'000, 1'249'999'999, 4'001'000'000}, 2},
        // ...a call at exactly 250 ms does, and the wait starts again from it.
        TimingCase{"CallAtExactlyTheThrottleMovesTheCheck",
                   {1'000'000'000, 1'250'000'000, 4'001'000'000},
                   -1},
        TimingCase{"WaitCountsFromTheMovedCheck", {1'000'000'000, 1'250'000'000, 4'251'000'000}, 2},
        TimingCase{"UpdatesTooCloseNeverShow",
                   {1'000'000'000, 3'000'000'000, 5'000'000'000, 7'000'000'000, 9'000'000'000},
                   -1},
        TimingCase{"ShownAtTheFirstPause",
                   {1'000'000'000, 3'000'000'000, 5'000'000'000, 8'001'000'000, 20'000'000'000},
                   3},
        // At 10 MHz a tick is 100 ns: 4.000999999 s reads 4.0009999 s.
        TimingCase{
            "WaitAfterTwentyDaysAt10MHz", {1'000'000'000, 4'001'000'000}, 1, TwentyDaysAt10MHz},
        TimingCase{
            "ShortAfterTwentyDaysAt10MHz", {1'000'000'000, 4'000'999'999}, -1, TwentyDaysAt10MHz},
        TimingCase{"WaitAfterThirtyDaysAt3GHz",
                   {1'000'000'000, 1'249'999'999, 4'001'000'000},
                   2,
                   ThirtyDaysAt3GHz}),
    testing_support::RowName());

TEST(MonitorTiming, NothingIsShownBeforeAnyLoad) {
  SimScenario scenario;
  scenario.WriteSettings(testing_support::ArmedSettings);
  const auto result =
      scenario.Run("load\nmessage 2\nupdate 5000000000\nupdate 50000000000\nupdate 90000000000\n");
  EXPECT_EQ(result.CountPrefix("box-a"), 1) << result.All();  // the start-up notice only
}

}  // namespace
