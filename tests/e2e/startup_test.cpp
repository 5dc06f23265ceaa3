// Start-up of the real DLL in the simulated loader: exports, version record, resource and
// imports, idle and armed starts, and the fatal start without a game module.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "sim/program_files.h"
#include "tests/e2e/expected_texts.h"
#include "tests/support/row_name.h"
#include "tests/support/sim_run.h"

using testing_support::ArmedSettings;
using testing_support::BoxLine;
using testing_support::SimScenario;

namespace {

using testing_support::PrintTo;

const std::vector<std::string> LoaderCalls = {"acquire-handle", "module-handle-w", "box-a",
                                              "box-w",          "lookup-service",  "add-listener",
                                              "load ",          "terminate"};

struct IdleCase {
  const char* name;
  const char* settings;  // nullptr: no file
};

class IdleStartTest : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleStartTest, ShowsNothingRegistersNothingAndReportsStarted) {
  SimScenario scenario;
  if (GetParam().settings != nullptr) scenario.WriteSettings(GetParam().settings);
  const auto result = scenario.Run("load\nmessage 2\nloadgame\n");
  const std::vector<std::string> expected = {"acquire-handle -> 7", "module-handle-w name=null",
                                             "load -> 1"};
  EXPECT_EQ(result.Filter(LoaderCalls), expected) << result.All();
  EXPECT_EQ(result.CountPrefix("attach"), 0);
  EXPECT_EQ(result.CountPrefix("dispatched"), 0);
  EXPECT_TRUE(result.Completed());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, IdleStartTest,
    ::testing::Values(IdleCase{"NoFile", nullptr},
                      IdleCase{"Zero", "[General]\r\nbPluginActive=0\r\n"},
                      IdleCase{"WordTrue", "[General]\r\nbPluginActive=true\r\n"},
                      IdleCase{"LeadingZero", "[General]\r\nbPluginActive=01\r\n"},
                      IdleCase{"EmptyValue", "[General]\r\nbPluginActive=\r\n"},
                      IdleCase{"OutpostsOnly", "[General]\r\nbEraseOutposts=1\r\n"}),
    testing_support::RowName());

TEST(ArmedStart, OneNoticeThenTheListenerUnderVkrx) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run("load\n");
  const std::vector<std::string> expected = {"acquire-handle -> 7",
                                             "module-handle-w name=null",
                                             BoxLine('a', expected::ArmedNotice),
                                             "lookup-service 1",
                                             "add-listener handle=7 sender=VKRX listener=1",
                                             "load -> 1"};
  EXPECT_EQ(result.Filter(LoaderCalls), expected) << result.All();
  // Registered only after the player closed the box.
  EXPECT_LT(result.IndexOf("box-closed 1"), result.IndexOfPrefix("lookup-service"));
}

TEST(ArmedStart, WithoutAMessagingServiceReportsFailureAndRegistersNothing) {
  for (const char* option : {"no-messaging", "no-listener-slot", "no-lookup-service"}) {
    SimScenario scenario;
    scenario.WriteSettings(ArmedSettings);
    const auto result = scenario.Run(std::string("option ") + option + "\nload\n");
    EXPECT_TRUE(result.Has("load -> 0")) << option << result.All();
    EXPECT_EQ(result.CountPrefix("add-listener"), 0);
    EXPECT_TRUE(result.Completed()) << result.All();
    // Checked where it is called: after the player has seen the armed notice.
    EXPECT_EQ(result.Filter({"box-a"}),
              std::vector<std::string>{BoxLine('a', expected::ArmedNotice)})
        << option;
  }
}

TEST(FatalStart, MissingGameModuleShowsTheFatalBoxAndTerminates) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run("option module-null\nload\nmessage 2\n");
  const std::vector<std::string> expected = {"acquire-handle -> 7", "module-handle-w name=null",
                                             BoxLine('w', expected::MissingModuleFatal),
                                             "terminate self=1 code=0", "load -> 0"};
  EXPECT_EQ(result.Filter(LoaderCalls), expected) << result.All();
  EXPECT_EQ(result.CountPrefix("attach"), 0);
  EXPECT_EQ(scenario.Folder().ReadSettings(), ArmedSettings);
}

TEST(FatalStart, TheProcessEndsWithExitCodeZero) {
  SimScenario scenario;
  scenario.WriteSettings(ArmedSettings);
  const auto result = scenario.Run("option module-null\noption exit-on-terminate\nload\n");
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(result.Has("terminate self=1 code=0")) << result.All();
  EXPECT_FALSE(result.Has("load -> 0"));  // ended inside the fatal path
  EXPECT_FALSE(result.Completed());
}

std::string ExpectedVersionRecordHex() {
  unsigned char record[0x25C] = {};
  const auto put32 = [&](std::size_t offset, std::uint32_t value) {
    std::memcpy(record + offset, &value, 4);
  };
  put32(0x000, 1);
  put32(0x004, 0x02000000);
  std::memcpy(record + 0x008, "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek", 50);
  std::memcpy(record + 0x108, "Tovenmarek", 10);
  put32(0x210, 0x010F0D80);
  std::string hex;
  char byte[3];
  for (const unsigned char b : record) {
    std::snprintf(byte, sizeof byte, "%02X", b);
    hex += byte;
  }
  return hex;
}

TEST(PluginImage, ExportsExactlyTheLoadFunctionAndTheVersionRecord) {
  SimScenario scenario;
  const auto result = scenario.Run("inspect\n");
  const std::vector<std::string> expected = {"export-module VKRXPlugin.dll",
                                             "export-base 1 functions=2 names=2",
                                             "export ordinal=1 name=VKRXPlugin_Load kind=function",
                                             "export ordinal=2 name=VKRXPlugin_Version kind=data"};
  EXPECT_EQ(result.Filter({"export"}), expected) << result.All();
  EXPECT_TRUE(result.Has("version-record " + ExpectedVersionRecordHex())) << result.All();
}

TEST(PluginImage, CarriesTheVersionResource) {
  SimScenario scenario;
  const auto result = scenario.Run("inspect\n");
  const std::string name = "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek";
  const std::vector<std::string> expected = {
      "resource-language 0409",
      "resource-fixed file=2.0.0.0 product=2.0.0.0 mask=3F flags=0 os=40004 type=2 subtype=0 "
      "date=0.0",
      "resource-translation 0409 04B0",
      "resource-string CompanyName=Tovenmarek",
      "resource-string FileDescription=" + name,
      "resource-string FileVersion=2.0.0.0",
      "resource-string InternalName=" + name,
      "resource-string OriginalFilename=" + name,
      "resource-string ProductName=" + name,
      "resource-string ProductVersion=2.0.0.0"};
  EXPECT_EQ(result.Filter({"resource"}), expected) << result.All();
}

// Each import of the DLL is listed, under its reason, in plugin/imports.txt (copied beside
// this program by the build), and each listed import is one the DLL still has.
TEST(PluginImage, ImportsExactlyTheListedFunctions) {
  std::istringstream list(sim::ReadWholeFile(sim::BesideThisProgram(L"imports.txt")).value_or(""));
  std::set<std::string> listed;
  bool underReason = false;
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      underReason = true;
    } else {
      EXPECT_TRUE(underReason) << "plugin/imports.txt lists " << line << " without a reason";
      listed.insert("import " + line);
    }
  }
  ASSERT_FALSE(listed.empty()) << "no imports.txt beside the tests";
  SimScenario scenario;
  const auto result = scenario.Run("inspect\n");
  const auto imports = result.Filter({"import "});
  const std::set<std::string> imported(imports.begin(), imports.end());
  ASSERT_FALSE(imported.empty()) << result.All();
  for (const auto& import : imported) {
    EXPECT_TRUE(listed.count(import))
        << "the DLL imports " << import.substr(7) << ", which plugin/imports.txt does not list";
  }
  for (const auto& import : listed) {
    EXPECT_TRUE(imported.count(import))
        << "plugin/imports.txt lists " << import.substr(7) << ", which the DLL no longer imports";
  }
}

}  // namespace

namespace {

// The scenario language itself: a misspelt word stops the scenario and is named, instead of
// being taken for something else or skipped.
TEST(ScenarioLanguage, NamesAMisspeltVerbAttributeOrOption) {
  const struct {
    const char* line;
    const char* error;
  } rows[] = {
      {"laodgame", "sim: line 2: unknown verb 'laodgame' (did you mean 'loadgame'?)"},
      {"frobnicate", "sim: line 2: unknown verb 'frobnicate'"},
      {"form FF000001 K bsae=FF000002", "sim: line 2: unknown form attribute 'bsae=FF000002'"},
      {"option real-clok", "sim: line 2: unknown option real-clok"},
  };
  for (const auto& row : rows) {
    SimScenario scenario;
    const auto result = scenario.Run(std::string("# a comment\n") + row.line + "\nload\n");
    EXPECT_EQ(result.exitCode, 2u) << row.line << result.All();
    EXPECT_TRUE(result.Has(row.error)) << row.line << result.All();
    EXPECT_FALSE(result.Has("acquire-handle -> 7")) << "the scenario went on after the error";
  }
}

}  // namespace
