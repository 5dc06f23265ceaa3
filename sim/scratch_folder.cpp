#include "sim/scratch_folder.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "sim/checked.h"
#include "sim/program_files.h"
#include "sim/scoped_handle.h"

namespace sim {
namespace {

// A directory search, ended with FindClose (not CloseHandle) exactly once.
struct SearchCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};
using ScopedSearch = std::unique_ptr<void, SearchCloser>;

void CreateFolder(const std::wstring& path) {
  Require(CreateDirectoryW(path.c_str(), nullptr) != 0, "CreateDirectoryW in a scratch folder");
}

}  // namespace

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE found = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (found != INVALID_HANDLE_VALUE) {
    const ScopedSearch search(found);
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
    } while (FindNextFileW(search.get(), &entry));
  }
  RemoveDirectoryW(path.c_str());
}

ScratchGameFolder::ScratchGameFolder(const wchar_t* purpose, std::size_t gameFolderLength) {
  wchar_t temp[MAX_PATH];
  Require(GetTempPathW(MAX_PATH, temp) != 0, "GetTempPathW");
  const std::wstring prefix = std::wstring(temp) + L"kelvarion-" + purpose + L"-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0;; ++attempt) {
    path_ = prefix + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(attempt);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    Require(GetLastError() == ERROR_ALREADY_EXISTS && attempt < 1000,
            "CreateDirectoryW of a scratch game folder");
  }
  root_ = path_;
  // Folders of at most 100 characters each, down to the length asked for.
  while (path_.size() + 1 < gameFolderLength) {
    const std::size_t name = std::min<std::size_t>(100, gameFolderLength - path_.size() - 1);
    path_ += L"\\" + std::wstring(name, L'g');
    CreateFolder(path_);
  }
  CreateFolder(path_ + L"\\Data");
  CreateFolder(path_ + L"\\Data\\VKRX");
  CreateFolder(PluginFolder());
}

ScratchGameFolder::~ScratchGameFolder() {
  RemoveTree(root_);
}

std::wstring ScratchGameFolder::PluginFolder() const {
  return path_ + L"\\Data\\VKRX\\Plugins";
}

std::wstring ScratchGameFolder::PluginFile(const wchar_t* name) const {
  return PluginFolder() + L"\\" + name;
}

std::wstring ScratchGameFolder::SettingsFile() const {
  return PluginFile(L"KelvarionSaveCleaner.ini");
}

void ScratchGameFolder::WriteSettings(const std::string& bytes) const {
  WriteWholeFile(SettingsFile(), bytes);
}

std::string ScratchGameFolder::ReadSettings() const {
  return ReadWholeFile(SettingsFile()).value_or("(missing)");
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::wstring& folder) {
  wchar_t previous[MAX_PATH];
  Require(GetCurrentDirectoryW(MAX_PATH, previous) != 0, "GetCurrentDirectoryW");
  previous_ = previous;
  Require(SetCurrentDirectoryW(folder.c_str()) != 0, "SetCurrentDirectoryW into a game folder");
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
  SetCurrentDirectoryW(previous_.c_str());
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  ScopedFile file(_wfopen(path.c_str(), L"wb"));
  Require(static_cast<bool>(file), "opening a file to write");
  Require(std::fwrite(bytes.data(), 1, bytes.size(), file.Get()) == bytes.size(), "writing a file");
  Require(file.Close(), "closing a written file");
}

}  // namespace sim
