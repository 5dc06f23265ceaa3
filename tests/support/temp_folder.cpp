#include "tests/support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "sim/program_files.h"

namespace testing_support {
namespace {

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

TempGameFolder::TempGameFolder() {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"kelvarion-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
  CreateDirectoryW(path_.c_str(), nullptr);
  CreateDirectoryW((path_ + L"\\Data").c_str(), nullptr);
  CreateDirectoryW((path_ + L"\\Data\\VKRX").c_str(), nullptr);
  CreateDirectoryW(SettingsFolder().c_str(), nullptr);
}

TempGameFolder::~TempGameFolder() {
  RemoveTree(path_);
}

std::wstring TempGameFolder::SettingsFolder() const {
  return path_ + L"\\Data\\VKRX\\Plugins";
}

std::wstring TempGameFolder::SettingsFile() const {
  return SettingsFolder() + L"\\KelvarionSaveCleaner.ini";
}

void TempGameFolder::WriteSettings(const std::string& bytes) const {
  FILE* file = _wfopen(SettingsFile().c_str(), L"wb");
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string TempGameFolder::ReadSettings() const {
  return sim::ReadWholeFile(SettingsFile()).value_or("(missing)");
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::wstring& folder) {
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  previous_ = previous;
  SetCurrentDirectoryW(folder.c_str());
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
  SetCurrentDirectoryW(previous_.c_str());
}

}  // namespace testing_support
