#include "report/previous_run.h"

#include <windows.h>

#include <cstring>

#include "report/pass_section.h"

namespace {

// A begins line is some 60 bytes; the tail holds it with room to spare.
constexpr DWORD TailBytes = 256;
constexpr std::size_t TimestampLength = 21;  // "YYYY-MM-DD hh:mm:ss  "

bool IsTimestamp(const char* text) {
  constexpr char Shape[] = "dddd-dd-dd dd:dd:dd  ";
  for (std::size_t i = 0; i < TimestampLength; ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (Shape[i] == 'd' ? !digit : text[i] != Shape[i]) return false;
  }
  return true;
}

}  // namespace

unsigned PassLeftOpen(const char* tail, std::size_t length) noexcept {
  std::size_t end = length;
  while (end > 0 && (tail[end - 1] == '\n' || tail[end - 1] == '\r')) --end;
  std::size_t start = end;
  while (start > 0 && tail[start - 1] != '\n') --start;
  // A line the tail's start cut is longer than any begins line, which is judged whole.
  const char* line = tail + start;
  const std::size_t lineLength = end - start;
  if (lineLength < TimestampLength || !IsTimestamp(line)) return 0;
  for (unsigned pass = 1; pass <= 3; ++pass) {
    const char* load = LoadName(pass);
    const std::size_t loadLength = std::strlen(load);
    const std::size_t beginsLength = std::strlen(PassBeginsText);
    if (lineLength != TimestampLength + loadLength + beginsLength) continue;
    if (std::memcmp(line + TimestampLength, load, loadLength) == 0 &&
        std::memcmp(line + TimestampLength + loadLength, PassBeginsText, beginsLength) == 0) {
      return pass;
    }
  }
  return 0;
}

unsigned PassLeftOpenIn(const wchar_t* path) noexcept {
  HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  char tail[TailBytes];
  DWORD got = 0;
  LARGE_INTEGER size{};
  OVERLAPPED offset{};  // a read at an offset, without a seek first
  if (GetFileSizeEx(file, &size) != 0) {
    const LONGLONG from = size.QuadPart > TailBytes ? size.QuadPart - TailBytes : 0;
    // NOLINTBEGIN(cppcoreguidelines-pro-type-union-access): Windows' own record of an offset
    offset.Offset = static_cast<DWORD>(from & 0xFFFFFFFF);
    offset.OffsetHigh = static_cast<DWORD>(from >> 32);
    // NOLINTEND(cppcoreguidelines-pro-type-union-access)
    if (ReadFile(file, tail, TailBytes, &got, &offset) == 0) got = 0;
  }
  CloseHandle(file);
  return PassLeftOpen(tail, got);
}
