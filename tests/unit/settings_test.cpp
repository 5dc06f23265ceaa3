// The settings file through the real Windows profile functions, on real files.
#include "settings/settings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "settings/profile.h"
#include "sim/scratch_folder.h"
#include "tests/support/row_name.h"
#include "tests/support/sim_run.h"

using sim::CurrentDirectoryScope;

// A fresh game folder for one test.
struct TempGameFolder : sim::ScratchGameFolder {
  TempGameFolder() : sim::ScratchGameFolder(L"test") {}
};

namespace {

using testing_support::PrintTo;

std::string Utf16WithBom(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

struct SettingsCase {
  const char* name;
  std::string content;  // written as the file's bytes
  bool pluginActive;
  bool eraseOutposts;
};

class ReadSettingsTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(ReadSettingsTest, GivesTheSwitchesTheProfileFunctionsReport) {
  const SettingsCase& row = GetParam();
  TempGameFolder folder;
  folder.WriteSettings(row.content);
  CurrentDirectoryScope inGameFolder(folder.Path());
  ReadSettings();
  EXPECT_EQ(bPluginActive, row.pluginActive);
  EXPECT_EQ(bEraseOutposts, row.eraseOutposts);
}

const std::string Junk = [] {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919 + 13) & 0xFF);
  return junk;
}();

INSTANTIATE_TEST_SUITE_P(
    Shapes, ReadSettingsTest,
    ::testing::Values(
        SettingsCase{"BothOn", "[General]\r\nbPluginActive=1\r\nbEraseOutposts=1\r\n", true, true},
        SettingsCase{"LineFeedsOnly", "[General]\nbPluginActive=1\nbEraseOutposts=1\n", true, true},
        SettingsCase{"Zero", "[General]\r\nbPluginActive=0\r\n", false, false},
        SettingsCase{"WordTrue", "[General]\r\nbPluginActive=true\r\nbEraseOutposts=yes\r\n", false,
                     false},
        SettingsCase{"LeadingZero", "[General]\r\nbPluginActive=01\r\n", false, false},
        SettingsCase{"Decimal", "[General]\r\nbPluginActive=1.0\r\n", false, false},
        SettingsCase{"EmptyValue", "[General]\r\nbPluginActive=\r\n", false, false},
        SettingsCase{"BlanksAroundValue", "[General]\r\nbPluginActive =  1  \r\n", true, false},
        SettingsCase{"QuotedOne", "[General]\r\nbPluginActive=\"1\"\r\n", true, false},
        SettingsCase{"OnlyPluginActive", "[General]\r\nbPluginActive=1\r\n", true, false},
        SettingsCase{"OnlyEraseOutposts", "[General]\r\nbEraseOutposts=1\r\n", false, true},
        SettingsCase{"NoGeneralSection", "[Other]\r\nbPluginActive=1\r\nbEraseOutposts=1\r\n",
                     false, false},
        SettingsCase{"KeysOutsideAnySection", "bPluginActive=1\r\n", false, false},
        SettingsCase{"CaseOfNamesIgnored", "[general]\r\nBPLUGINACTIVE=1\r\n", true, false},
        SettingsCase{"CommentedOut", "[General]\r\n;bPluginActive=1\r\n", false, false},
        SettingsCase{"DuplicateKeyFirstWins", "[General]\r\nbPluginActive=0\r\nbPluginActive=1\r\n",
                     false, false},
        SettingsCase{"DuplicateSectionFirstWins",
                     "[General]\r\nbPluginActive=1\r\n[General]\r\nbPluginActive=0\r\n", true,
                     false},
        SettingsCase{
            "OverlongValue",
            "[General]\r\nbPluginActive=1" + std::string(10500, 'x') + "\r\nbEraseOutposts=1\r\n",
            false, true},
        SettingsCase{"EmptyFile", "", false, false}, SettingsCase{"BinaryJunk", Junk, false, false},
        SettingsCase{"JunkThenSection", Junk + "\r\n[General]\r\nbPluginActive=1\r\n", true, false},
        SettingsCase{"Utf16WithByteOrderMark",
                     Utf16WithBom("[General]\r\nbPluginActive=1\r\nbEraseOutposts=1\r\n"), true,
                     true}),
    testing_support::RowName());

TEST(ReadSettings, NoFileLeavesBothOff) {
  TempGameFolder folder;
  CurrentDirectoryScope inGameFolder(folder.Path());
  ReadSettings();
  EXPECT_FALSE(bPluginActive);
  EXPECT_FALSE(bEraseOutposts);
}

TEST(ReadSettings, NoSettingsFolderLeavesBothOff) {
  TempGameFolder folder;
  RemoveDirectoryW(folder.PluginFolder().c_str());
  CurrentDirectoryScope inGameFolder(folder.Path());
  ReadSettings();
  EXPECT_FALSE(bPluginActive);
}

TEST(ReadSettings, FolderWhereTheFileShouldBeLeavesBothOff) {
  TempGameFolder folder;
  CreateDirectoryW(folder.SettingsFile().c_str(), nullptr);
  CurrentDirectoryScope inGameFolder(folder.Path());
  ReadSettings();
  EXPECT_FALSE(bPluginActive);
  RemoveDirectoryW(folder.SettingsFile().c_str());
}

TEST(ReadProfileValue, EmptyNamesAndOverlongPathsGiveEmptyText) {
  TempGameFolder folder;
  folder.WriteSettings("[General]\r\nbPluginActive=1\r\n");
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "bPluginActive"), "1");
  EXPECT_EQ(ReadProfileValue("", "General", "bPluginActive"), "");
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "", "bPluginActive"), "");
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", ""), "");
  EXPECT_EQ(ReadProfileValue(std::string(400, 'k'), "General", "bPluginActive"), "");
  EXPECT_FALSE(WriteProfileValue(std::string(400, 'k'), "General", "bPluginActive", "0"));
}

TEST(ReadProfileValue, ReturnsAtMost9999Characters) {
  TempGameFolder folder;
  folder.WriteSettings("[General]\r\nlong=" + std::string(12000, 'z') + "\r\n");
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "long"), std::string(9999, 'z'));
}

TEST(ReadProfileValue, NarrowsNonAsciiValuesToUtf8) {
  TempGameFolder folder;
  folder.WriteSettings(Utf16WithBom("[General]\r\nname=") + std::string("\xE9\x00\x20\x00", 4) +
                       std::string("\r\0\n\0", 4));
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "name"), "\xC3\xA9");
}

// Judged by content: the profile writer rewrites line ends and spacing.
TEST(WriteProfileValue, DisarmsAndKeepsEveryOtherKeySectionAndComment) {
  TempGameFolder folder;
  folder.WriteSettings(
      "; packager's note\n[General]\nbPluginActive = 1\nbEraseOutposts=1\n\n[Extra]\nkeep=me\n");
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_TRUE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", "0"));
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "bPluginActive"), "0");
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "bEraseOutposts"), "1");
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "Extra", "keep"), "me");
  EXPECT_NE(folder.ReadSettings().find("; packager's note"), std::string::npos);
}

TEST(WriteProfileValue, CreatesTheFileWhenTheFolderExists) {
  TempGameFolder folder;
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_TRUE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", "0"));
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "bPluginActive"), "0");
}

TEST(WriteProfileValue, AnEmptyValueIsWrittenAndConfirmed) {
  TempGameFolder folder;
  folder.WriteSettings("[General]\r\nbPluginActive=1\r\n");
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_TRUE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", ""));
  EXPECT_EQ(ReadProfileValue("KelvarionSaveCleaner", "General", "bPluginActive"), "");
}

TEST(WriteProfileValue, FailsWhenTheSettingsFolderIsGone) {
  TempGameFolder folder;
  RemoveDirectoryW(folder.PluginFolder().c_str());
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_FALSE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", "0"));
  EXPECT_EQ(GetFileAttributesW(folder.PluginFolder().c_str()), INVALID_FILE_ATTRIBUTES);
}

// A directory in place of the file: the entry exists, the write cannot land, and the key
// is absent. The read-back must not take its own default for the written value.
TEST(WriteProfileValue, FailsWhenTheWriteDoesNotLandOnAnAbsentKey) {
  TempGameFolder folder;
  CreateDirectoryW(folder.SettingsFile().c_str(), nullptr);
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_FALSE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", "0"));
  EXPECT_FALSE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", ""));
  RemoveDirectoryW(folder.SettingsFile().c_str());
}

TEST(WriteProfileValue, RefusesEmptyNames) {
  TempGameFolder folder;
  CurrentDirectoryScope inGameFolder(folder.Path());
  EXPECT_FALSE(WriteProfileValue("", "General", "bPluginActive", "0"));
  EXPECT_FALSE(WriteProfileValue("KelvarionSaveCleaner", "", "bPluginActive", "0"));
  EXPECT_FALSE(WriteProfileValue("KelvarionSaveCleaner", "General", "", "0"));
  EXPECT_EQ(folder.ReadSettings(), "(missing)");
}

}  // namespace

namespace {

TEST(ShippedSettings, ArmTheCleanerAndLeaveOutpostsAlone) {
  const std::string shipped = testing_support::ShippedSettings();
  ASSERT_FALSE(shipped.empty());
  TempGameFolder folder;
  folder.WriteSettings(shipped);
  CurrentDirectoryScope inGameFolder(folder.Path());
  ReadSettings();
  EXPECT_TRUE(bPluginActive);
  EXPECT_FALSE(bEraseOutposts);
  EXPECT_TRUE(WriteProfileValue("KelvarionSaveCleaner", "General", "bPluginActive", "0"));
  EXPECT_NE(folder.ReadSettings().find("; 1 also erases outposts"), std::string::npos);
}

}  // namespace
