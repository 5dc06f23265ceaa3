// What the end of a previous report says of its run, from the last bytes of any file.
#include "report/previous_run.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/row_name.h"

namespace {

using testing_support::PrintTo;

struct TailCase {
  const char* name;
  std::string tail;
  unsigned passLeftOpen;
};

class PassLeftOpenTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(PassLeftOpenTest, ReadsOnlyABeginsLineThatEndsTheText) {
  EXPECT_EQ(PassLeftOpen(GetParam().tail.data(), GetParam().tail.size()), GetParam().passLeftOpen);
}

const std::string Armed = "2031-04-27 13:45:09  Armed by bPluginActive=1.\r\n\r\n";
const std::string FirstBegins = "2031-04-27 13:45:09  First load: the cleaning pass begins.";

INSTANTIATE_TEST_SUITE_P(
    Tails, PassLeftOpenTest,
    ::testing::Values(
        TailCase{"Empty", "", 0}, TailCase{"Garbage", std::string("\0\xFF\r\n\n\x01", 6), 0},
        TailCase{"FirstPassBegun", Armed + FirstBegins + "\r\n", 1},
        TailCase{"SecondPassBegunWithoutLineEnd",
                 "2031-04-27 13:45:09  Second load: the cleaning pass begins.", 2},
        TailCase{"AnotherPassBegunLinuxLineEnds",
                 "x\n2031-04-27 13:45:09  Another load: the cleaning pass begins.\n\n", 3},
        TailCase{"PassEndedAfterIt",
                 Armed + FirstBegins +
                     "\r\n2031-04-27 13:45:09  First load: "
                     "nothing to erase, 1 kept.\r\n",
                 0},
        TailCase{"NoTimestamp", "First load: the cleaning pass begins.\r\n", 0},
        TailCase{"WordsAfter", FirstBegins + " x", 0},
        // The last 256 bytes of a longer line that ends like a begins line.
        TailCase{"CutByTheTail", std::string(256 - FirstBegins.size(), 'x') + FirstBegins, 0}),
    testing_support::RowName());

}  // namespace
