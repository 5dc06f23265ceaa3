#include "settings/profile.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>

#include "text/wide_text.h"

namespace {

constexpr std::size_t PathBufferBytes = 255;
constexpr DWORD ValueBufferChars = 10000;

// SettingsFolder + base name + ".ini", copied through the fixed path buffer; a path that
// does not fit is refused rather than cut.
std::optional<std::string> ComposeProfilePath(const std::string& baseName) {
  const std::string composed = std::string(SettingsFolder) + baseName + ".ini";
  if (composed.size() >= PathBufferBytes) return std::nullopt;
  std::array<char, PathBufferBytes> buffer{};
  composed.copy(buffer.data(), composed.size());
  return std::string(buffer.data());
}

bool EntryExists(const std::string& path) {
  return GetFileAttributesW(WidenUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The key's value (at most 9999 characters), or the default text when it is missing: the
// one place that calls GetPrivateProfileStringW.
std::wstring QueryProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& defaultText) {
  const auto buffer = std::make_unique<wchar_t[]>(ValueBufferChars);  // zero-filled
  GetPrivateProfileStringW(WidenUtf8(section).c_str(), WidenUtf8(key).c_str(),
                           WidenUtf8(defaultText).c_str(), buffer.get(), ValueBufferChars,
                           WidenUtf8(path).c_str());
  buffer[ValueBufferChars - 1] = L'\0';
  return std::wstring(buffer.get());
}

}  // namespace

std::string ReadProfileValue(const std::string& baseName, const std::string& section,
                             const std::string& key) {
  if (baseName.empty() || section.empty() || key.empty()) return {};
  const auto path = ComposeProfilePath(baseName);
  if (!path || !EntryExists(*path)) return {};
  return NarrowToUtf8(QueryProfileString(*path, section, key, ""));
}

bool WriteProfileValue(const std::string& baseName, const std::string& section,
                       const std::string& key, const std::string& value) {
  if (baseName.empty() || section.empty() || key.empty()) return false;
  const auto path = ComposeProfilePath(baseName);
  if (!path) return false;
  WritePrivateProfileStringW(WidenThreadAnsi(section).c_str(), WidenThreadAnsi(key).c_str(),
                             WidenThreadAnsi(value).c_str(), WidenThreadAnsi(*path).c_str());
  if (!EntryExists(*path)) return false;
  // Read back with a default that differs from the value, so that a key the write never
  // reached cannot pass for one that holds it.
  const std::string absentMarker = value.empty() ? "\x01" : "";
  return QueryProfileString(*path, section, key, absentMarker) == WidenUtf8(value);
}
