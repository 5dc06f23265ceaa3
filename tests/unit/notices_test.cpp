// The texts of the boxes and what reaches Windows, observed through this program's own
// import table (the product's code is linked in).
#include "notices/notices.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/version_record.h"
#include "sim/import_patch.h"
#include "tests/support/refusing_malloc.h"

using testing_support::RefusingMalloc;

namespace {

struct Observed {
  std::vector<std::string> calls;
  std::string narrowText, narrowCaption;
  std::wstring wideText, wideCaption;
  HANDLE terminated = nullptr;
  UINT exitCode = 99;
} observed;

int WINAPI FakeMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  observed.calls.push_back("A owner=" + std::to_string(owner != nullptr) +
                           " style=" + std::to_string(style));
  observed.narrowText = text;
  observed.narrowCaption = caption;
  return IDOK;
}

int WINAPI FakeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  RefusingMalloc::Stop();  // the recording below needs the heap
  observed.calls.push_back("W owner=" + std::to_string(owner != nullptr) +
                           " style=" + std::to_string(style));
  observed.wideText = text;
  observed.wideCaption = caption;
  return IDOK;
}

BOOL WINAPI FakeTerminateProcess(HANDLE process, UINT exitCode) {
  RefusingMalloc::Stop();  // the recording below needs the heap
  observed.calls.push_back("terminate");
  observed.terminated = process;
  observed.exitCode = exitCode;
  return TRUE;  // the test goes on: control comes back to the caller
}

class NoticesTest : public ::testing::Test {
 protected:
  void SetUp() override { observed = Observed{}; }

  HMODULE self_ = GetModuleHandleW(nullptr);
  ImportPatch boxA_{self_, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&FakeMessageBoxA)};
  ImportPatch boxW_{self_, "user32.dll", "MessageBoxW", reinterpret_cast<void*>(&FakeMessageBoxW)};
  ImportPatch terminate_{self_, "kernel32.dll", "TerminateProcess",
                         reinterpret_cast<void*>(&FakeTerminateProcess)};
};

const std::string Caption = "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0";

TEST(ComposeFatalErrorText, LaysOutTheThreeFatalErrorsExactly) {
  EXPECT_EQ(ComposeFatalErrorText("VKRXPlugin_Load", 687,
                                  "Installation error: Kelvarion.exe handle couldn't be acquired"),
            "Fatal error has occured in function VKRXPlugin_Load at line 687\n\n\nError text: \n"
            " -> Installation error: Kelvarion.exe handle couldn't be acquired\n");
  EXPECT_EQ(ComposeFatalErrorText("Events::HandleNVALoadGameEvent", 572, "x"),
            "Fatal error has occured in function Events::HandleNVALoadGameEvent at line 572"
            "\n\n\nError text: \n -> x\n");
  EXPECT_EQ(ComposeFatalErrorText("f", 7, ""),
            "Fatal error has occured in function f at line 7\n\n\nError text: \n -> \n");
  EXPECT_EQ(ComposeFatalErrorText("f", 4000000000u, "e").find("4000000000"), 46u);
}

TEST(VersionText, IsMajorDotMinorInDecimalWithoutLowBits) {
  EXPECT_EQ(VersionText(0x02000000), "2.0");
  EXPECT_EQ(VersionText(0x0A030000), "10.3");
  EXPECT_EQ(VersionText(0x0AFFFFFF), "10.255");
  EXPECT_EQ(VersionText(0x00000000), "0.0");
  EXPECT_EQ(VersionText(0xFFFF0000), "255.255");
}

TEST(NoticeCaption, IsTheDisplayNameUpToItsNulThenTheVersion) {
  EXPECT_EQ(NoticeCaption(), Caption);
  EXPECT_EQ(VKRXPlugin_Version.displayName[50], '\0');
}

TEST_F(NoticesTest, NoticeGoesToTheAnsiBoxUnchanged) {
  ShowNotice("caf\xE9 \xC3\xA9\nline");
  ASSERT_EQ(observed.calls, std::vector<std::string>{"A owner=0 style=0"});
  EXPECT_EQ(observed.narrowText, "caf\xE9 \xC3\xA9\nline");
  EXPECT_EQ(observed.narrowCaption, Caption);
}

TEST_F(NoticesTest, EmptyNoticeShowsAnEmptyBody) {
  ShowNotice("");
  ASSERT_EQ(observed.calls.size(), 1u);
  EXPECT_EQ(observed.narrowText, "");
  EXPECT_EQ(observed.narrowCaption, Caption);
}

TEST_F(NoticesTest, FatalErrorDecodesUtf8ShowsTheWideBoxThenTerminatesWithZero) {
  ShowFatalErrorAndExit("caf\xC3\xA9\n");
  const std::vector<std::string> expected{"W owner=0 style=0", "terminate"};
  EXPECT_EQ(observed.calls, expected);
  EXPECT_EQ(observed.wideText, L"caf\u00E9\n");
  EXPECT_EQ(observed.wideCaption, std::wstring(Caption.begin(), Caption.end()));
  EXPECT_EQ(GetProcessId(observed.terminated), GetCurrentProcessId());
  EXPECT_EQ(observed.exitCode, 0u);
}

// The heap refuses: the same box all the same, composed without it, then the exit.
TEST_F(NoticesTest, FatalReportWithoutMemoryStillShowsTheBoxAndEndsTheProcess) {
  RefusingMalloc malloc;
  ASSERT_TRUE(malloc.Patched());
  RefusingMalloc::RefuseNext(1000);
  ReportFatalError("Events::HandleNVALoadGameEvent", 4000000582u, "caf\xC3\xA9 text");
  RefusingMalloc::Stop();
  const std::vector<std::string> expected{"W owner=0 style=0", "terminate"};
  EXPECT_EQ(observed.calls, expected);
  EXPECT_EQ(observed.wideText,
            L"Fatal error has occured in function Events::HandleNVALoadGameEvent at line "
            L"4000000582\n\n\nError text: \n -> caf\u00E9 text\n");
  EXPECT_EQ(observed.wideCaption, std::wstring(Caption.begin(), Caption.end()));
  EXPECT_EQ(observed.exitCode, 0u);
}

}  // namespace
