#include "notices/notices.h"

#include <windows.h>

#include <array>
#include <iterator>

#include "host/version_record.h"
#include "text/wide_text.h"

namespace {

// Appends at most `limit` characters of `text` to the buffer at `length`, cut where the buffer
// ends (its NUL kept).
template <std::size_t Size>
void Append(char (&buffer)[Size], std::size_t& length, const char* text, std::size_t limit = Size) {
  for (std::size_t i = 0; i < limit && text[i] != '\0' && length + 1 < Size; ++i) {
    buffer[length++] = text[i];
  }
  buffer[length] = '\0';
}

// The caption every box carries, in a fixed buffer: the display name up to its first NUL, " v",
// and the version, read afresh from the record.
struct Caption {
  char text[300] = {};
};
Caption CaptionOfTheBoxes() {
  const VersionRecord& record = VKRXPlugin_Version;
  Caption caption;
  std::size_t length = 0;
  Append(caption.text, length, record.displayName, sizeof record.displayName);
  Append(caption.text, length, " v");
  Append(caption.text, length, ShortVersion(record.pluginVersion).text);
  return caption;
}

}  // namespace

std::string NoticeCaption() {
  return CaptionOfTheBoxes().text;
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

namespace {

// The fatal text's layout, in one place: "Fatal error has occured in function <name> at line
// <line>\n\n\nError text: \n -> <text>\n". "occured" is the text's own spelling, kept
// exactly: players report it verbatim.
std::array<const char*, 7> FatalTextPieces(const char* functionName, const char* line,
                                           const char* errorText) {
  return {"Fatal error has occured in function ",
          functionName,
          " at line ",
          line,
          "\n\n\nError text: \n -> ",
          errorText,
          "\n"};
}

// An unsigned number in decimal, without leading zeros.
struct Decimal {
  char digits[11] = {};
  std::size_t first = sizeof digits - 1;  // where the number begins in `digits`

  const char* Text() const { return digits + first; }
};
Decimal DecimalOf(unsigned value) {
  Decimal decimal;
  do {
    decimal.digits[--decimal.first] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return decimal;
}

// The fatal box and the exit without the heap: caption and text are composed and widened in
// fixed buffers (every fatal text is far shorter). The box itself is Windows' to show.
void ShowFatalErrorWithoutHeapAndExit(const char* functionName, unsigned line,
                                      const char* errorText) noexcept {
  const Caption caption = CaptionOfTheBoxes();
  char text[1024] = {};
  std::size_t textLength = 0;
  const Decimal lineText = DecimalOf(line);
  for (const char* piece : FatalTextPieces(functionName, lineText.Text(), errorText)) {
    Append(text, textLength, piece);
  }
  wchar_t wideCaption[300] = {};
  wchar_t wideText[1024] = {};
  MultiByteToWideChar(CP_UTF8, 0, caption.text, -1, wideCaption,
                      static_cast<int>(std::size(wideCaption)) - 1);
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wideText, static_cast<int>(std::size(wideText)) - 1);
  MessageBoxW(nullptr, wideText, wideCaption, MB_OK);
  TerminateProcess(GetCurrentProcess(), 0);
}

}  // namespace

std::string ComposeFatalErrorText(const std::string& functionName, unsigned line,
                                  const std::string& errorText) {
  std::string text;
  const Decimal lineText = DecimalOf(line);
  for (const char* piece :
       FatalTextPieces(functionName.c_str(), lineText.Text(), errorText.c_str())) {
    text += piece;
  }
  return text;
}

void ReportFatalError(const char* functionName, unsigned line, const char* errorText) noexcept {
  // Composed as ComposeFatalErrorText lays it out and shown as ShowFatalErrorAndExit shows it,
  // but in fixed buffers: a fatal error may come with the heap exhausted, when composing on the
  // heap would throw, and a thread's first throw then ends in the C++ runtime's abort(), with
  // no box.
  ShowFatalErrorWithoutHeapAndExit(functionName, line, errorText);
}
