#include "notices/notices.h"

#include <windows.h>

#include <cstring>

#include "host/version_record.h"
#include "text/wide_text.h"

std::string NoticeCaption() {
  const VersionRecord& record = VKRXPlugin_Version;
  const std::string displayName(record.displayName,
                                strnlen(record.displayName, sizeof record.displayName));
  return displayName + " v" + VersionText(record.pluginVersion);
}

// The text is the notice's own copy, as its interface says (callers pass temporaries).
void ShowNotice(std::string text) {  // NOLINT(performance-unnecessary-value-param)
  const std::string caption = NoticeCaption();
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

void ShowFatalErrorAndExit(std::string text) {  // NOLINT(performance-unnecessary-value-param)
  const std::wstring caption = WidenUtf8(NoticeCaption());
  const std::wstring body = WidenUtf8(text);
  MessageBoxW(nullptr, body.c_str(), caption.c_str(), MB_OK);
  TerminateProcess(GetCurrentProcess(), 0);
}

// "occured" is the fatal text's own spelling, kept exactly: players report it verbatim.
std::string ComposeFatalErrorText(const std::string& functionName, unsigned line,
                                  const std::string& errorText) {
  return "Fatal error has occured in function " + functionName + " at line " +
         std::to_string(line) + "\n\n\n" + "Error text: " + "\n" + " -> " + errorText + "\n";
}

void ReportFatalError(const char* functionName, unsigned line, const char* errorText) noexcept {
  try {
    ShowFatalErrorAndExit(ComposeFatalErrorText(functionName, line, errorText));
  } catch (...) {
    TerminateProcess(GetCurrentProcess(), 0);
  }
}
