#include "report/run_file_names.h"

#include <cstring>
#include <iterator>

#include "host/plugin_folder.h"

namespace {

struct Naming {
  const char* kind;
  const char* extension;
};
constexpr Naming Namings[] = {{"", ".log"}, {".erased", ".txt"}, {".kept", ".txt"}};
static_assert(std::size(Namings) == RunFileCount, "a name for every run file");

// Appends to a name; what does not fit is cut (every name here is far shorter).
class NameBuilder {
 public:
  NameBuilder& Add(const char* text) noexcept {
    for (; *text != '\0' && length_ + 1 < sizeof name_.text; ++text) name_.text[length_++] = *text;
    return *this;
  }
  NameBuilder& AddDigits(unsigned value, unsigned digits) noexcept {
    char text[11] = {};
    for (unsigned i = digits; i > 0; --i, value /= 10) {
      text[i - 1] = static_cast<char>('0' + value % 10);
    }
    return Add(text);
  }
  RunFileName Name() const noexcept { return name_; }

 private:
  RunFileName name_;
  std::size_t length_ = 0;
};

NameBuilder Stem(RunFile file) noexcept {
  NameBuilder name;
  name.Add(PluginFilesBaseName).Add(Namings[static_cast<std::size_t>(file)].kind);
  return name;
}

const char* ExtensionOf(RunFile file) noexcept {
  return Namings[static_cast<std::size_t>(file)].extension;
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix) noexcept {
  for (; *prefix != L'\0'; ++text, ++prefix) {
    if (*text != *prefix) return false;
  }
  return true;
}

}  // namespace

RunFileName UsualName(RunFile file) noexcept {
  return Stem(file).Add(ExtensionOf(file)).Name();
}

RunFileName OldName(RunFile file) noexcept {
  return Stem(file).Add(".old").Add(ExtensionOf(file)).Name();
}

RunFileName OtherName(RunFile file, const SYSTEMTIME& runStart, unsigned attempt) noexcept {
  NameBuilder name = Stem(file);
  name.Add(".").AddDigits(runStart.wYear, 4).Add("-").AddDigits(runStart.wMonth, 2).Add("-");
  name.AddDigits(runStart.wDay, 2).Add("_").AddDigits(runStart.wHour, 2);
  name.AddDigits(runStart.wMinute, 2).AddDigits(runStart.wSecond, 2);
  if (attempt > 1) name.Add("-").AddDigits(attempt, attempt < 10 ? 1 : attempt < 100 ? 2 : 3);
  return name.Add(ExtensionOf(file)).Name();
}

bool FullPathOf(const RunFileName& name, PathBuffer& path) noexcept {
  // The relative name, widened: every part is ASCII.
  wchar_t relative[128] = {};
  std::size_t length = 0;
  for (const char* part : {PluginFolder, static_cast<const char*>(name.text)}) {
    for (; *part != '\0' && length + 1 < std::size(relative); ++part) {
      relative[length++] = static_cast<wchar_t>(*part);
    }
  }
  // Room before the full path for the longest prefix, "\\?\UNC\" less the "\" it replaces.
  constexpr std::size_t Room = 6;
  wchar_t* const full = path + Room;
  const DWORD fullLength =
      GetFullPathNameW(relative, static_cast<DWORD>(LongestPath + 1 - Room), full, nullptr);
  // 0: it failed; more than the room: the size it would need.
  if (fullLength == 0 || fullLength > LongestPath - Room) {
    path[0] = L'\0';
    return false;
  }
  const wchar_t* prefix = L"\\\\?\\";
  wchar_t* start = full;
  if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
    prefix = L"";  // already a device path
  } else if (StartsWith(full, L"\\\\")) {
    prefix = L"\\\\?\\UNC";  // \\server\share becomes \\?\UNC\server\share
    start = full + 1;
  }
  const std::size_t prefixLength = std::wcslen(prefix);
  const std::size_t rest = fullLength - static_cast<std::size_t>(start - full);
  std::memmove(path + prefixLength, start, (rest + 1) * sizeof(wchar_t));
  std::memcpy(path, prefix, prefixLength * sizeof(wchar_t));
  return true;
}
