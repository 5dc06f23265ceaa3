// The judge of a pass's figures, with no world: one row just inside and one just outside each
// range a pass can cross, and the lines of some findings.
#include "report/verdict.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/row_name.h"

namespace {

using testing_support::PrintTo;

using Found = std::vector<std::pair<JudgedFigure, Concern>>;
using F = JudgedFigure;
constexpr auto Look = Concern::LookAt;
constexpr auto Ask = Concern::AskForHelp;

struct RangeCase {
  const char* name;
  std::uint64_t unreadable = 0;
  std::uint64_t restarts = 0;
  std::uint64_t withoutForm = 0;
  std::uint64_t gamesKeptForms = 0;
  bool keptFormBUnreadable = false;
  std::uint64_t erased = 400;  // 'V' forms
  unsigned pass = 1;
  std::uint64_t lockMicroseconds = 5000;
  std::uint64_t judged = 1000;  // forms erased and kept
  Found found = {};
  const char* line = "";  // if given, the first finding's line
};

class JudgePassTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(JudgePassTest, FindsExactlyTheFiguresOutOfRange) {
  const RangeCase& row = GetParam();
  PassCounters counters;
  counters.erased[static_cast<std::size_t>(ErasedType::V)] = row.erased;
  // Beside many skipped forms, which are not judged: the unreadable share is over the judged.
  counters.kept[static_cast<std::size_t>(KeptReason::KHoldLink)] =
      row.judged - row.erased - row.withoutForm - row.gamesKeptForms;
  counters.kept[static_cast<std::size_t>(KeptReason::NoFormOrKeyMismatch)] = row.withoutForm;
  counters.kept[static_cast<std::size_t>(KeptReason::VKeptForm)] = row.gamesKeptForms;
  counters.skipped = 5000;
  counters.unreadableForms = row.unreadable;
  counters.walkRestarts = row.restarts;
  counters.keptFormBUnreadable = row.keptFormBUnreadable;
  const Findings findings = JudgePass({row.pass, &counters, row.lockMicroseconds});
  Found found;
  for (std::size_t i = 0; i < findings.count; ++i) {
    found.emplace_back(findings.items[i].figure, findings.items[i].concern);
  }
  EXPECT_EQ(found, row.found);
  if (*row.line == '\0' || findings.count == 0) return;
  ReportText text;
  AddFindingLine(text, findings.items[0], {row.pass, &counters, row.lockMicroseconds});
  EXPECT_EQ(std::string(text.Data(), text.Size()), row.line);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, JudgePassTest,
    ::testing::Values(
        RangeCase{.name = "AllNormal"},
        RangeCase{.name = "UnreadableJustUnderOneIn100", .unreadable = 9},
        RangeCase{
            .name = "UnreadableOneIn100", .unreadable = 10, .found = {{F::UnreadableShare, Look}}},
        RangeCase{
            .name = "UnreadableFiveIn100", .unreadable = 50, .found = {{F::UnreadableShare, Look}}},
        RangeCase{.name = "UnreadableOverFiveIn100",
                  .unreadable = 51,
                  .found = {{F::UnreadableShare, Ask}}},
        // The figure shown never contradicts its band: 5.015 rounds up, toward the band's inside.
        RangeCase{.name = "UnreadableJustOverFiveIn100",
                  .unreadable = 1003,
                  .judged = 20000,
                  .found = {{F::UnreadableShare, Ask}},
                  .line = "  Ask for help: forms with unreadable data, 5.1 in 100 of the 20000 "
                          "forms judged (over 5 in 100): do not keep playing this save: ask for "
                          "help with the report and both lists.\r\n"},
        RangeCase{.name = "TwoRestarts", .restarts = 2},
        RangeCase{.name = "ThreeRestarts", .restarts = 3, .found = {{F::WalkRestarts, Ask}}},
        RangeCase{.name = "HundredEntriesWithoutForm", .withoutForm = 100},
        RangeCase{.name = "HundredAndOneEntriesWithoutForm",
                  .withoutForm = 101,
                  .found = {{F::EntriesWithoutForm, Ask}}},
        RangeCase{.name = "BothOfTheGamesKeptForms", .gamesKeptForms = 2},
        RangeCase{.name = "SecondKeptFormUnreadable",
                  .keptFormBUnreadable = true,
                  .found = {{F::KeptFormBUnreadable, Ask}}},
        RangeCase{.name = "HundredMoreErasedAtTheSecondLoad", .erased = 100, .pass = 2},
        RangeCase{.name = "HundredAndOneMoreErasedAtTheSecondLoad",
                  .erased = 101,
                  .pass = 2,
                  .found = {{F::SecondLoadErasures, Look}}},
        RangeCase{.name = "ASecondOfLockTime", .lockMicroseconds = 1'000'000},
        RangeCase{.name = "JustOverASecondOfLockTime",
                  .lockMicroseconds = 1'000'001,
                  .found = {{F::LockTime, Look}},
                  .line = "  Look at: game paused for this pass, 1001 ms (more than 1000 ms): "
                          "harmless if the game went on as before; a larger save pauses it "
                          "longer.\r\n"},
        RangeCase{.name = "SeveralInTheReportsOrder",
                  .unreadable = 60,
                  .restarts = 4,
                  .erased = 500,
                  .pass = 2,
                  .lockMicroseconds = 2'000'000,
                  .found = {{F::UnreadableShare, Ask},
                            {F::WalkRestarts, Ask},
                            {F::SecondLoadErasures, Look},
                            {F::LockTime, Look}}}),
    testing_support::RowName());

}  // namespace
