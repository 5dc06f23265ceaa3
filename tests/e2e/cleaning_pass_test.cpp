// The cleaning pass on the real DLL: one table row a rule, the failed preconditions, lock
// pairing, faulting members, a table that moves or shrinks under the walk, and slot arrays
// that end against a no-access page.
#include <gtest/gtest.h>

#include "tests/e2e/expected_texts.h"
#include "tests/e2e/list_checks.h"
#include "tests/e2e/pass_helpers.h"
#include "tests/support/report_labels.h"
#include "tests/support/row_name.h"

using pass_helpers::Erasures;
using pass_helpers::RunLoads;
using report_labels::KeptReasonNamed;
using testing_support::ArmedSettings;
using testing_support::BoxLine;
using testing_support::SimResult;
using testing_support::SimScenario;
using Ids = std::vector<std::string>;

namespace {

using testing_support::PrintTo;

// Bases shared by the rows: run-time, loaded, loaded with an '8' related form, loaded with
// another related form, and FormId 7.
const std::string Bases =
    "form FF00B001 S list=0\nform 0000B002 S list=0\nform 00000800 8 list=0\n"
    "form 0000B003 S list=0 related=00000800\nform 00000801 Q list=0\n"
    "form 0000B004 S list=0 related=00000801\nform 00000007 S list=0\n";

void ExpectCleanRun(const SimResult& result, int passes) {
  EXPECT_EQ(result.Count("lock"), passes) << result.All();
  EXPECT_EQ(result.Count("unlock"), passes);
  EXPECT_EQ(result.CountPrefix("error"), 0) << result.All();
  EXPECT_EQ(result.CountPrefix("box-w"), 0) << result.All();
  EXPECT_TRUE(result.Completed()) << result.All();
}

// The same bases, but FormId 7 has an '8' related form: only the FormId keeps its forms.
const std::string BasesWithSevenEight = [] {
  std::string bases = Bases;
  const std::string seven = "form 00000007 S list=0\n";
  bases.replace(bases.find(seven), seven.size(), "form 00000007 S list=0 related=00000800\n");
  return bases;
}();

struct RuleCase {
  const char* name;
  std::string forms;  // each examined form says, with expect=, what the rules must do with it
  Ids erased;
  report_checks::Figures report;  // figures of the report's pass section
  const std::string& bases = Bases;
};

class PassRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(PassRuleTest, ErasesExactlyWhatTheRulesAllow) {
  report_reader::Report report;
  const auto result =
      RunLoads(GetParam().bases + GetParam().forms, 1, testing_support::ArmedSettings, "", &report);
  EXPECT_EQ(Erasures(result), GetParam().erased) << result.All();
  ExpectCleanRun(result, 1);
  report_checks::ExpectReportMatchesTallies(report, result);
  report_checks::ExpectFigures(report, GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PassRuleTest,
    ::testing::Values(
        RuleCase{"KWithRuntimeBase",
                 "form FF000001 K base=FF00B001 expect=erase\n",
                 {"KJ FF000001"},
                 {{report_labels::ErasedK, "1"}, {report_labels::Kept, "0"}}},
        RuleCase{"JWithRuntimeBase",
                 "form FF000001 J base=FF00B001 expect=erase\n",
                 {"KJ FF000001"},
                 {{report_labels::ErasedJ, "1"}, {report_labels::Kept, "0"}}},
        RuleCase{"LoadedFormsNeverErased",
                 "form 00001001 K base=FF00B001\nform 00001002 J base=FF00B001\n"
                 "form 00001003 V\nform FE000004 V\nform 7F000005 V\n",
                 {},
                 {{report_labels::InUse, "5"}, {report_labels::Examined, "0"}}},
        RuleCase{"OtherTypesNeverErased",
                 "form FF000001 X base=FF00B001\nform FF000002 8\n",
                 {},
                 {{KeptReasonNamed("other-type").label, "2"}}},
        RuleCase{"KWithBaseSeven",
                 "form FF000001 K base=00000007 expect=k-base-7\n",
                 {},
                 {{KeptReasonNamed("k-base-7").label, "1"}}},
        RuleCase{"KWithBaseSevenEvenWithAnEightRelated",
                 "form FF000001 K base=00000007 expect=k-base-7\n",
                 {},
                 {{KeptReasonNamed("k-base-7").label, "1"}},
                 BasesWithSevenEight},
        RuleCase{"KWithLoadedBaseAndEightRelated",
                 "form FF000001 K base=0000B003 expect=erase\n",
                 {"KJ FF000001"},
                 {{report_labels::ErasedK, "1"}}},
        RuleCase{"KWithLoadedBaseAndOtherRelated",
                 "form FF000001 K base=0000B004 expect=k-loaded-base\n",
                 {},
                 {{KeptReasonNamed("k-loaded-base").label, "1"}}},
        RuleCase{"KWithLoadedBaseNoRelated",
                 "form FF000001 K base=0000B002 expect=k-loaded-base\n",
                 {},
                 {{KeptReasonNamed("k-loaded-base").label, "1"}}},
        RuleCase{"JWithLoadedBaseEvenWithEight",
                 "form FF000001 J base=0000B003 expect=j-loaded-base\n"
                 "form FF000002 J base=0000B002 expect=j-loaded-base\n",
                 {},
                 {{KeptReasonNamed("j-loaded-base").label, "2"}}},
        RuleCase{
            "NoBase",
            "form FF000001 K expect=k-no-base\nform FF000002 J expect=j-no-base\n",
            {},
            {{KeptReasonNamed("k-no-base").label, "1"}, {KeptReasonNamed("j-no-base").label, "1"}}},
        RuleCase{"HoldLink",
                 "form FF000001 K hold base=FF00B001 expect=k-hold-link\n"
                 "form FF000002 J hold base=FF00B001 expect=j-hold-link\n",
                 {},
                 {{KeptReasonNamed("k-hold-link").label, "1"},
                  {KeptReasonNamed("j-hold-link").label, "1"}}},
        RuleCase{"NamedAttachedItem",
                 "form FF000001 K holder=00;11 base=FF00B001 expect=k-named-items\n"
                 "form FF000002 J holder=11 base=FF00B001 expect=j-named-items\n",
                 {},
                 {{KeptReasonNamed("k-named-items").label, "1"},
                  {KeptReasonNamed("j-named-items").label, "1"}}},
        RuleCase{"AttachedItemsMissingItemOrNamer",
                 "form FF000001 K holder=10;01;00 base=FF00B001 expect=erase\n"
                 "form FF000002 J holder=nolist base=FF00B001 expect=erase\n"
                 "form FF000003 K holder=none base=FF00B001 expect=erase\n",
                 {"KJ FF000001", "KJ FF000002", "KJ FF000003"},
                 {{report_labels::ErasedK, "2"}, {report_labels::ErasedJ, "1"}}},
        RuleCase{"HeldByTheGame",
                 "form FF000001 K held base=FF00B001 expect=k-held\n"
                 "form FF000002 J held base=FF00B001 expect=j-held\n",
                 {},
                 {{KeptReasonNamed("k-held").label, "1"}, {KeptReasonNamed("j-held").label, "1"}}},
        RuleCase{"KeyDiffersFromFormId",
                 "form FF000001 K key=FF000009 base=FF00B001\n",
                 {},
                 {{KeptReasonNamed("no-form").label, "1"}}},
        RuleCase{"NullFormPointer",
                 "form FF000001 K nullform base=FF00B001\n",
                 {},
                 {{KeptReasonNamed("no-form").label, "1"}}},
        // Slot 1: the first burst looks ahead at it while the walk stands on slot 0.
        RuleCase{"NullFormPointerAheadOfTheWalk",
                 "form FF000001 K base=FF00B001 expect=erase\n"
                 "form FF000002 K nullform base=FF00B001\n",
                 {"KJ FF000001"},
                 {{KeptReasonNamed("no-form").label, "1"}}},
        RuleCase{"EmptySlotsAreNeverRead",
                 "empty\nform FF000001 K base=FF00B001 expect=erase\nempty\nempty\n"
                 "form FF000002 V expect=erase\nempty\n",
                 {"KJ FF000001", "V FF000002"},
                 {{report_labels::Slots, "6"}, {report_labels::InUse, "2"}}},
        RuleCase{"WalkOrderIsArrayOrder",
                 "form FF000003 V expect=erase\nform FF000001 K base=FF00B001 expect=erase\n"
                 "form FF000002 J base=FF00B001 expect=erase\n",
                 {"V FF000003", "KJ FF000001", "KJ FF000002"},
                 {{report_labels::Erased, "3"}}},
        RuleCase{"FaultingBaseMemberLeavesTheForm",
                 // Both reads fault: the hold link lies past the base member.
                 "form FF000001 K fault=base expect=k-no-base\n"
                 "form FF000002 J fault=base expect=j-no-base\n",
                 {},
                 {{report_labels::Unreadable, "2"}}},
        RuleCase{"FaultingHoldLinkCountsAsNull",
                 // The read faults, the form goes on to the base test and stops there.
                 "form FF000001 K fault=hold expect=k-no-base\n"
                 "form FF000002 K base=FF00B001 expect=erase\n",
                 {"KJ FF000002"},
                 {{report_labels::Unreadable, "1"}, {KeptReasonNamed("k-no-base").label, "1"}}},
        RuleCase{"UnreadableFormsCountOnceAcrossARestart",
                 // The first erasure moves the slot array: the kept form is judged again,
                 // the erased one is not, and each still counts once.
                 "form FF000001 K fault=base expect=k-no-base\n"
                 "form FF000002 V fault=parent expect=erase\non-erase 1 move\n",
                 {"V FF000002"},
                 {{report_labels::Unreadable, "2"}, {report_labels::Restarts, "1"}}},
        RuleCase{"FaultingRelatedFormCountsAsNull",
                 "form 0000B005 S list=0 fault=related\n"
                 "form FF000001 K base=0000B005 expect=k-loaded-base\n",
                 {},
                 {{report_labels::Unreadable, "1"}}}),
    testing_support::RowName());

TEST(CleaningPass, HeldFormsAreNotRecordedAndAreAskedAgainNextPass) {
  const auto result = RunLoads(Bases + "form FF000001 K held base=FF00B001\n", 2);
  EXPECT_EQ(result.Count("holder FF000001"), 2) << result.All();
  EXPECT_TRUE(Erasures(result).empty());
}

TEST(CleaningPass, SecondPassSkipsWhatTheFirstErasedEvenIfStillListed) {
  // The engine keeps erased forms listed; the simulator reports any second erasure.
  const std::string later = "form FF000010 K base=FF00B001\nform FF000011 V\n";
  const auto result = RunLoads(Bases + "form FF000001 K base=FF00B001\nform FF000002 V\n", 2,
                               testing_support::ArmedSettings, "");
  EXPECT_EQ(Erasures(result), (Ids{"KJ FF000001", "V FF000002"})) << result.All();
  ExpectCleanRun(result, 2);

  testing_support::SimScenario scenario;
  scenario.WriteSettings(testing_support::ArmedSettings);
  const auto grown = scenario.Run(Bases +
                                  "form FF000001 K base=FF00B001\nload\nmessage 2\n"
                                  "loadgame\n" +
                                  later + "loadgame\n");
  EXPECT_EQ(Erasures(grown), (Ids{"KJ FF000001", "KJ FF000010", "V FF000011"})) << grown.All();
  ExpectCleanRun(grown, 2);
}

TEST(CleaningPass, KeptFormsAreLeftWithoutClassification) {
  const std::string forms =
      "form FF000006 V parent ids=0 cast=0\nform FF000005 V parent ids=0 cast=0 keptb=FF000006\n"
      "kept-a FF000005\n";
  const auto result = RunLoads(forms);
  EXPECT_TRUE(Erasures(result).empty()) << result.All();
  EXPECT_EQ(result.Count("cast"), 0) << "kept forms must not be classified";
  EXPECT_EQ(result.Count("kept-form"), 1);
  ExpectCleanRun(result, 1);
}

// The fault belongs to no form the walk judges: the report says so on a line of its own.
TEST(CleaningPass, FaultingKeptFormBCountsAsNull) {
  const std::string forms =
      "form FF000005 V fault=keptb expect=v-kept-form\nform FF000006 V expect=erase\n"
      "kept-a FF000005\n";
  report_reader::Report report;
  const auto result = RunLoads(forms, 1, testing_support::ArmedSettings, "", &report);
  EXPECT_EQ(Erasures(result), Ids{"V FF000006"}) << result.All();
  ExpectCleanRun(result, 1);
  report_checks::ExpectReportMatchesTallies(report, result);
  ASSERT_EQ(report.passes.size(), 1u);
  EXPECT_TRUE(report.passes[0].keptFormBUnreadable);
  EXPECT_EQ(report.passes[0].verdict,
            std::vector<std::string>{"Ask for help: the game's second kept form, unreadable "
                                     "(readable in a normal run): ask for help with the report."});
  EXPECT_EQ(report.passes[0].Figure(report_labels::Unreadable), "0");
}

struct PreconditionCase {
  const char* name;
  std::string world;
  int locks;          // 0: fails before the lock; 1: taken and released once
  const char* check;  // the check the report names
};

class FailedPreconditionTest : public ::testing::TestWithParam<PreconditionCase> {};

TEST_P(FailedPreconditionTest, ErasesNothingAndEndsTheGame) {
  report_reader::Report report;
  // While the fatal box (the second) is open, the report is read as it is on disk.
  const auto result =
      RunLoads(Bases + "form FF000001 K base=FF00B001\nform FF000002 V\n" + GetParam().world +
                   "box 2 report-show\n" + "box 2 file-show KelvarionSaveCleaner.erased.txt\n" +
                   "box 2 file-show KelvarionSaveCleaner.kept.txt\n",
               1, testing_support::ArmedSettings, "", &report);
  EXPECT_TRUE(Erasures(result).empty()) << result.All();
  EXPECT_EQ(result.Count("lock"), GetParam().locks) << result.All();
  EXPECT_EQ(result.Count("unlock"), GetParam().locks);
  EXPECT_TRUE(result.Has(BoxLine('w', expected::FailedPassFatal(572)))) << result.All();
  EXPECT_TRUE(result.Has("terminate self=1 code=0"));

  const std::string line = std::string("First load: the cleaning pass FAILED: ") +
                           GetParam().check +
                           ". Nothing was erased or kept. The game ends without saving; the "
                           "plugin stays armed.";
  EXPECT_TRUE(report.Has(line)) << line;
  EXPECT_TRUE(report.passes.empty());
  const auto shown = result.Filter({"report "});
  ASSERT_EQ(shown.size(), 1u) << result.All();
  EXPECT_NE(shown[0].find(line + "\\r\\n"), std::string::npos) << "not on disk at the fatal box";
  // Both lists end with the failed pass's section, on disk when the fatal box shows.
  const std::string section =
      "  First load: the cleaning pass FAILED before erasing or keeping anything (the report "
      "says why).\\r\\n"
      "0 forms listed\\r\\n";
  for (const char* list : {"KelvarionSaveCleaner.erased.txt", "KelvarionSaveCleaner.kept.txt"}) {
    const auto lists = result.Filter({std::string("file ") + list + " "});
    ASSERT_EQ(lists.size(), 1u) << list;
    EXPECT_TRUE(lists[0].ends_with(section)) << lists[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Preconditions, FailedPreconditionTest,
    ::testing::Values(
        PreconditionCase{"NoOutpostMarker", "marker none\n", 0,
                         "the game's outpost marker is missing"},
        PreconditionCase{"NoListMarkerForm", "list-marker none\n", 0,
                         "the game has no form 0020C59F"},
        PreconditionCase{"NoTable", "table none\n", 1, "the game's table of forms is missing"},
        PreconditionCase{"CountEqualsEmptinessWord", "table count-equals\n", 1,
                         "the game's table of forms is empty"},
        // Compared in the low 32 bits only, before the slot array is looked at.
        PreconditionCase{"CountEqualsEmptinessWordInItsLow32Bits", "table wide-count-null-slots\n",
                         1, "the game's table of forms is empty"},
        PreconditionCase{"NoKeptFormSource", "kept-source none\n", 1,
                         "the game's record of its kept forms is missing"},
        // The erased record's 2 MiB could not be had at the armed start.
        PreconditionCase{"NoRoomAtTheArmedStart", "malloc-fail-size 2097152 2097153 1\n", 0,
                         "the game had too little memory free when it started"}),
    testing_support::RowName());

TEST(CleaningPass, NullSlotArrayIsAnEmptyWalkThatSucceeds) {
  const auto result = RunLoads(Bases + "form FF000001 K base=FF00B001\ntable null-slots\n");
  EXPECT_TRUE(Erasures(result).empty());
  ExpectCleanRun(result, 1);
}

std::string ManyErasableForms(int count) {
  std::string forms = Bases;
  char line[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "form %08X %c base=FF00B001 expect=erase\n", 0xFF000100 + i,
                  "KJV"[i % 3]);
    forms += line;
    if (i % 4 == 0) {
      forms += "form FF80" + std::to_string(1000 + i) + " K held base=FF00B001 expect=k-held\n";
    }
  }
  return forms;
}

TEST(CleaningPass, SlotArrayMovedByAnEraseIsNeverReadAgain) {
  const auto reference = RunLoads(ManyErasableForms(60));
  for (const char* when : {"1", "2", "30", "59"}) {
    // The old array becomes unreadable: reading through it would crash the simulator.
    report_reader::Report report;
    const auto moved = RunLoads(ManyErasableForms(60) + "on-erase " + when + " move\n", 1,
                                testing_support::ArmedSettings, "", &report);
    EXPECT_TRUE(moved.Has("slot-array-moved")) << moved.All();
    EXPECT_EQ(Erasures(moved), Erasures(reference)) << "moved at erase " << when << moved.All();
    ExpectCleanRun(moved, 1);
    // The walk started again, and still counts each form once.
    report_checks::ExpectReportMatchesTallies(report, moved);
    report_checks::ExpectFigures(report, {{report_labels::Restarts, "1"},
                                          {report_labels::Examined, "75"},
                                          {report_labels::Erased, "60"},
                                          {KeptReasonNamed("k-held").label, "15"}});
  }
}

TEST(CleaningPass, TwoMovesInOnePassStillCountEachFormOnce) {
  report_reader::Report report;
  const auto moved = RunLoads(ManyErasableForms(60) + "on-erase 2 move\non-erase 30 move\n", 1,
                              testing_support::ArmedSettings, "", &report);
  EXPECT_EQ(moved.Count("slot-array-moved"), 2) << moved.All();
  EXPECT_EQ(Erasures(moved).size(), 60u);
  ExpectCleanRun(moved, 1);
  report_checks::ExpectReportMatchesTallies(report, moved);
  report_checks::ExpectFigures(report, {{report_labels::Restarts, "2"},
                                        {report_labels::Examined, "75"},
                                        {report_labels::Skipped, "0"}});
}

TEST(CleaningPass, CountShrunkInPlaceEndsTheWalkAtTheNewEnd) {
  // Five empty slots and two erasable forms at the end; the count drops by three.
  report_reader::Report report;
  const auto result = RunLoads(Bases +
                                   "form FF000001 K base=FF00B001 expect=erase\n"
                                   "form FF000002 K base=FF00B001 expect=erase\nempty\nempty\n"
                                   "empty\nempty\nempty\nform FF000003 V\nform FF000004 V\n"
                                   "on-erase 1 shrink 3\n",
                               1, testing_support::ArmedSettings, "", &report);
  EXPECT_EQ(Erasures(result), (Ids{"KJ FF000001", "KJ FF000002"})) << result.All();
  ExpectCleanRun(result, 1);
  report_checks::ExpectReportMatchesTallies(report, result);
  report_checks::ExpectFigures(report, {{report_labels::Slots, "6"}, {report_labels::InUse, "2"}});
}

// What each pass did, split at the unlock that ends it.
std::vector<int> PerPass(const SimResult& result, const std::vector<std::string>& prefixes) {
  std::vector<int> passes(1);
  for (const std::string& line : result.lines) {
    if (line == "unlock") passes.push_back(0);
    for (const std::string& prefix : prefixes) passes.back() += line.rfind(prefix, 0) == 0;
  }
  passes.pop_back();  // after the last pass
  return passes;
}

// Forms the game created between the two loads: erasable ones, every fourth with a held
// one after it.
std::string FormsCreatedBetweenLoads(int count) {
  std::string forms;
  char line[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "form %08X %c base=FF00B001 expect=erase\n", 0xFF000300 + i,
                  "KJV"[i % 3]);
    forms += line;
    if (i % 4 == 0) {
      std::snprintf(line, sizeof line, "form %08X K held base=FF00B001 expect=k-held\n",
                    0xFF810000 + i);
      forms += line;
    }
  }
  return forms;
}

// The first pass walks ManyErasableForms(60) (75 slots); before the second, 30 erasable
// forms and 8 held ones are added (113 slots, the first pass's 60 erasures still listed).
// Erase calls are numbered over the whole run.
struct TableChangeCase {
  const char* name;
  std::string firstPass;   // on-erase lines in force from the first load
  std::string secondPass;  // on-erase lines added before the second load
  std::vector<int> erasures;
  std::vector<int> moves;
};

class TableChangeTest : public ::testing::TestWithParam<TableChangeCase> {};

TEST_P(TableChangeTest, EachPassEndsAtTheTablesEndAndCountsEachFormOnce) {
  testing_support::SimScenario scenario;
  scenario.WriteSettings(testing_support::ArmedSettings);
  const auto result =
      scenario.Run(ManyErasableForms(60) + GetParam().firstPass + "load\nmessage 2\nloadgame\n" +
                   FormsCreatedBetweenLoads(30) + GetParam().secondPass + "loadgame\n");
  ExpectCleanRun(result, 2);
  EXPECT_EQ(PerPass(result, {"begin-erase ", "erase-v "}), GetParam().erasures) << result.All();
  EXPECT_EQ(PerPass(result, {"slot-array-moved"}), GetParam().moves);
  // Restarted walks count the forms earlier passes erased, and no form twice; the kept list
  // names each kept form once.
  report_checks::ExpectReportMatchesTallies(report_checks::ReadReport(scenario.Folder()), result);
  report_checks::ExpectKeptListMatchesTally(scenario.Folder(), result);
}

INSTANTIATE_TEST_SUITE_P(
    TableChanges, TableChangeTest,
    ::testing::Values(
        // The 30th erasure lies near slot 37; the count drops to 15, below the cursor.
        TableChangeCase{"ShrinkBelowTheCursor", "on-erase 30 shrink 60\n", "", {30, 60}, {0, 0}},
        // The second pass's second erasure lies at slot 77; the count drops to 13.
        TableChangeCase{
            "ShrinkBelowTheCursorInTheSecondPass", "", "on-erase 62 shrink 100\n", {60, 2}, {0, 0}},
        TableChangeCase{"MoveInTheSecondPass", "", "on-erase 62 move\n", {60, 30}, {0, 1}},
        // Forms erased between the two moves are met again after the second.
        TableChangeCase{"TwoMovesInTheSecondPass",
                        "",
                        "on-erase 62 move\non-erase 80 move\n",
                        {60, 30},
                        {0, 2}},
        TableChangeCase{
            "MoveInEachPass", "on-erase 30 move\n", "on-erase 75 move\n", {60, 30}, {1, 1}}),
    testing_support::RowName());

// The walk looks at slots ahead of the cursor for forms to prefetch (in bursts of 32 forms
// today, here one form a slot). A slot array that ends where a no-access page begins crashes
// the simulator if any read goes one slot past the last: one slot, rows around 24 and 32,
// and far above (a count at or above a limit shows a bound one slot too far, a count below
// it a bound that wraps around).
struct PageEndCase {
  const char* name;
  int slots;
  std::string changes;  // on-erase lines
};

class SlotArrayAtPageEndTest : public ::testing::TestWithParam<PageEndCase> {};

TEST_P(SlotArrayAtPageEndTest, NoSlotPastTheLastIsRead) {
  std::string forms = Bases + "table page-end\n";
  Ids erased;
  char line[64];
  for (int i = 0; i < GetParam().slots; ++i) {
    const char type = "KJV"[i % 3];
    std::snprintf(line, sizeof line, "form %08X %c base=FF00B001 expect=erase\n", 0xFF000100 + i,
                  type);
    forms += line;
    std::snprintf(line, sizeof line, "%s %08X", type == 'V' ? "V" : "KJ", 0xFF000100 + i);
    erased.push_back(line);
  }
  report_reader::Report report;
  const auto result =
      RunLoads(forms + GetParam().changes, 1, testing_support::ArmedSettings, "", &report);
  ExpectCleanRun(result, 1);
  EXPECT_EQ(Erasures(result), erased) << result.All();
  report_checks::ExpectReportMatchesTallies(report, result);
}

INSTANTIATE_TEST_SUITE_P(
    PageEnds, SlotArrayAtPageEndTest,
    ::testing::Values(PageEndCase{"Slots1", 1, ""}, PageEndCase{"Slots23", 23, ""},
                      PageEndCase{"Slots24", 24, ""}, PageEndCase{"Slots25", 25, ""},
                      PageEndCase{"Slots32", 32, ""}, PageEndCase{"Slots33", 33, ""},
                      PageEndCase{"Slots64", 64, ""},
                      // The new array ends at a page end too.
                      PageEndCase{"Slots40MovedAtTheFifthErase", 40, "on-erase 5 move\n"}),
    testing_support::RowName());

// The list of erased forms gets room for 4096 forms at the armed start (8 MiB to 64 KiB
// refused). Past it erasing goes on as in the reference run, each figure with it, walks
// restarted after the room ran out included; each pass's section says where its list stops.
TEST(CleaningPass, AFullListOfErasedFormsChangesNoFigure) {
  std::string script = Bases;
  char line[64];
  for (int i = 0; i < 4200; ++i) {
    std::snprintf(line, sizeof line, "form %08X V expect=erase\n", 0xFF100000 + i);
    script += line;
  }
  // Erase calls are numbered over the run: the second pass's 10th at 4210.
  script += "on-erase 4150 move\non-erase 4210 move\nload\nmessage 2\nloadgame\n" +
            FormsCreatedBetweenLoads(30) + "loadgame\n";
  SimScenario reference, limited;
  for (SimScenario* scenario : {&reference, &limited}) scenario->WriteSettings(ArmedSettings);
  const auto expected = reference.Run(script);
  const auto result = limited.Run("malloc-fail-size 32768 16777216 8 1\n" + script);
  ExpectCleanRun(result, 2);
  EXPECT_EQ(Erasures(result), Erasures(expected));
  const auto report = report_checks::ReadReport(limited.Folder());
  report_checks::ExpectReportMatchesTallies(report, result);
  const auto reportExpected = report_checks::ReadReport(reference.Folder());
  ASSERT_EQ(report.passes.size(), 2u);
  for (std::size_t pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(report.passes[pass].figures, reportExpected.passes[pass].figures);
  }
  report_checks::ExpectErasedListMatchesEraseCalls(limited.Folder(), result);
  const auto sections =
      report_checks::ReadListSections(limited.Folder(), report_checks::ErasedListName);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].heading, "First load: 4200 forms erased");
  EXPECT_EQ(sections[0].closing,
            "4096 forms listed; incomplete from FF101000 on: the plugin had no room for more");
  EXPECT_EQ(sections[1].heading, "Second load: 30 forms erased");
  EXPECT_EQ(sections[1].closing,
            "0 forms listed; incomplete from FF000300 on: the plugin had no room for more");
}

TEST(CleaningPass, FaultsOutsideTheGuardedReadsAreNotSwallowed) {
  const auto result = RunLoads(Bases + "form FF000001 V parent ids=0 cast=unreadable\n");
  EXPECT_TRUE(result.Has("crash code=C0000005")) << result.All();
  EXPECT_FALSE(result.Completed());
}

}  // namespace
