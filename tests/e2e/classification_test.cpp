// 'V' forms: list-marked forms are always kept, outposts only while bEraseOutposts is off,
// every other 'V' form is erased. Observed through the real DLL's erase calls.
#include <gtest/gtest.h>

#include "tests/e2e/pass_helpers.h"
#include "tests/support/row_name.h"

using pass_helpers::Erasures;
using pass_helpers::RunLoads;

namespace {

using testing_support::PrintTo;

enum class Expect { None, Outpost, ListMarked };

struct ClassCase {
  const char* name;
  std::string forms;  // the 'V' form under test is FF000001
  Expect category;
};

class ClassifyReferenceTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassifyReferenceTest, DecidesTheErasureWithAndWithoutOutposts) {
  const ClassCase& row = GetParam();
  const auto kept = RunLoads(row.forms);
  const auto outpostsToo = RunLoads(row.forms, 1, testing_support::ArmedWithOutposts);
  const std::vector<std::string> erased{"V FF000001"}, none{};
  EXPECT_EQ(Erasures(kept), row.category == Expect::None ? erased : none) << kept.All();
  EXPECT_EQ(Erasures(outpostsToo), row.category == Expect::ListMarked ? none : erased)
      << outpostsToo.All();
  EXPECT_EQ(kept.CountPrefix("error"), 0) << kept.All();
  EXPECT_TRUE(kept.Completed() && outpostsToo.Completed()) << kept.All() << outpostsToo.All();
}

// Forms named by IdLists: one whose marker items include a match, one without.
const std::string Named =
    "form 00002001 G list=0 items=x;0;m\nform 00002002 G list=0 items=x;0\n"
    "form 00002003 G list=0 lookup=0 items=m\n";

INSTANTIATE_TEST_SUITE_P(
    Categories, ClassifyReferenceTest,
    ::testing::Values(
        ClassCase{"Plain", "form FF000001 V\n", Expect::None},
        ClassCase{"ListMarkedByAnotherObjectWithTheMarkerId",
                  "form FF000001 V parent ids=0 cast=0;+20C59F\n", Expect::ListMarked},
        ClassCase{"ListMarkedByTheMarkerForm", "form FF000001 V parent ids=0 cast=20C59F\n",
                  Expect::ListMarked},
        ClassCase{"CastListWithOtherForms",
                  "form 00003001 G list=0\nform FF000001 V parent ids=0 cast=0;00003001\n",
                  Expect::None},
        ClassCase{"ParentNotOfTheCastClass", "form FF000001 V parent ids=0\n", Expect::None},
        ClassCase{"OutpostThroughTheIdList",
                  Named + "form FF000001 V parent ids=00002002;00002001\n", Expect::Outpost},
        ClassCase{"OutpostThroughIdListOfACastableParent",
                  Named + "form FF000001 V parent ids=00002001 cast=0\n", Expect::Outpost},
        ClassCase{"IdListWithoutMatch", Named + "form FF000001 V parent ids=00002002\n",
                  Expect::None},
        ClassCase{"UnresolvableIds",
                  Named + "form FF000001 V parent ids=00009999;00002003 holdera=x holderb=x\n",
                  Expect::None},
        ClassCase{"OutpostThroughHolderA", "form FF000001 V holdera=x;0;m\n", Expect::Outpost},
        ClassCase{"OutpostThroughHolderBOnly", "form FF000001 V holdera=none holderb=0;m\n",
                  Expect::Outpost},
        ClassCase{"HoldersWithoutMatch", "form FF000001 V holdera=x;0 holderb=0;x\n", Expect::None},
        ClassCase{"HolderWithCountButNoEntries", "form FF000001 V holdera=nullentries\n",
                  Expect::None},
        ClassCase{"ListMarkedWinsOverOutpost",
                  "form FF000001 V parent ids=0 cast=+20C59F holdera=m\n", Expect::ListMarked},
        ClassCase{"FaultingParentFallsBackToHolders", "form FF000001 V fault=parent holderb=m\n",
                  Expect::Outpost},
        ClassCase{"FaultingHolderAFallsBackToHolderB", "form FF000001 V fault=holdera holderb=m\n",
                  Expect::Outpost},
        ClassCase{"FaultingHolderBAndBeyond", "form FF000001 V fault=holderb\n", Expect::None}),
    testing_support::RowName());

TEST(ClassifyReference, OutpostSearchStopsAtTheFirstMatchInOrder) {
  const auto result =
      RunLoads(Named + "form FF000001 V parent ids=00002002;00002001 holdera=m holderb=m\n");
  const std::vector<std::string> expected{"matches -> 0", "matches -> 0", "matches -> 1"};
  EXPECT_EQ(result.Filter({"matches"}), expected) << result.All();
}

TEST(ClassifyReference, ListMarkerComparedByFormIdWithoutOutpostQueries) {
  const auto result =
      RunLoads("form FF000001 V parent ids=00002001 cast=+20C59F holdera=m\n" + Named);
  EXPECT_EQ(result.CountPrefix("matches"), 0) << result.All();
  EXPECT_EQ(result.Count("cast"), 1);
}

}  // namespace
