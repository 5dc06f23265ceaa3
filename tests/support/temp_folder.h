// A fresh folder for one test, laid out like a game folder, removed again afterwards.
#pragma once

#include <string>

namespace testing_support {

class TempGameFolder {
 public:
  TempGameFolder();
  ~TempGameFolder();
  TempGameFolder(const TempGameFolder&) = delete;
  TempGameFolder& operator=(const TempGameFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // Data\VKRX\Plugins\KelvarionSaveCleaner.ini inside the folder.
  std::wstring SettingsFile() const;
  std::wstring SettingsFolder() const;
  void WriteSettings(const std::string& bytes) const;
  // The file's bytes, or "(missing)".
  std::string ReadSettings() const;

 private:
  std::wstring path_;
};

// Makes a folder the current directory for its lifetime, as the game's folder is.
class CurrentDirectoryScope {
 public:
  explicit CurrentDirectoryScope(const std::wstring& folder);
  ~CurrentDirectoryScope();
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

 private:
  std::wstring previous_;
};

}  // namespace testing_support
