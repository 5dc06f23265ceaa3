// The monitor's decision at exact times: the time of the call is a value.
#include <gtest/gtest.h>

#include "events/phase_monitor.h"
#include "tests/support/row_name.h"

namespace {

using testing_support::PrintTo;

struct DecisionCase {
  const char* name;
  std::int64_t now, lastCheck;
  bool pending;
  std::uint32_t loadCount;
  MonitorStep expected;
};

class DecideMonitorStepTest : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(DecideMonitorStepTest, Decides) {
  const DecisionCase& row = GetParam();
  EXPECT_EQ(DecideMonitorStep(row.now, row.lastCheck, row.pending, row.loadCount), row.expected);
}

constexpr std::int64_t T = 7'000'000'000;  // an arbitrary last check

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DecideMonitorStepTest,
    ::testing::Values(
        DecisionCase{"JustUnderThrottle", T + 249'999'999, T, true, 1, MonitorStep::Throttled},
        DecisionCase{"ExactlyThrottlePasses", T + 250'000'000, T, false, 0, MonitorStep::CheckOnly},
        DecisionCase{"SameInstantIsThrottled", T, T, true, 2, MonitorStep::Throttled},
        DecisionCase{"ClockBehindIsThrottled", T - 1, T, true, 1, MonitorStep::Throttled},
        DecisionCase{"JustUnderWait", T + 3'000'999'999, T, true, 1, MonitorStep::CheckOnly},
        DecisionCase{"ExactlyThreeSeconds", T + 3'000'000'000, T, true, 1, MonitorStep::CheckOnly},
        DecisionCase{"ExactlyWaitShowsFirst", T + 3'001'000'000, T, true, 1,
                     MonitorStep::ShowFirstNotice},
        DecisionCase{"ExactlyWaitFinishesRun", T + 3'001'000'000, T, true, 2,
                     MonitorStep::FinishRun},
        DecisionCase{"LongPauseNothingPending", T + 90'000'000'000, T, false, 2,
                     MonitorStep::CheckOnly},
        DecisionCase{"ThirdLoadShowsNothing", T + 90'000'000'000, T, true, 3,
                     MonitorStep::CheckOnly},
        DecisionCase{"NoLoadYetShowsNothing", T + 90'000'000'000, T, true, 0,
                     MonitorStep::CheckOnly},
        DecisionCase{"FirstCallComparesTheReadingItself", 3'001'000'000, 0, true, 1,
                     MonitorStep::ShowFirstNotice},
        DecisionCase{"FirstCallEarlyInTheClock", 249'999'999, 0, true, 1, MonitorStep::Throttled}),
    testing_support::RowName());

}  // namespace
