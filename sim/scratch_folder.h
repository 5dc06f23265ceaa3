// A fresh game folder in the temporary directory, laid out as the loader expects it
// (Data\VKRX\Plugins), removed again with everything in it when the object goes. The
// demonstration, the benchmarks and the tests play the game in one.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

class ScratchGameFolder {
 public:
  // %TEMP%\kelvarion-<purpose>-<process>-<n>, never one an earlier run left behind (Wine
  // reuses process ids soon and often). With `gameFolderLength`, the game folder is a folder
  // inside it whose full path has that many characters (a deep install).
  explicit ScratchGameFolder(const wchar_t* purpose, std::size_t gameFolderLength = 0);
  ~ScratchGameFolder();
  ScratchGameFolder(const ScratchGameFolder&) = delete;
  ScratchGameFolder& operator=(const ScratchGameFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // Data\VKRX\Plugins inside the folder, and a file there.
  std::wstring PluginFolder() const;
  std::wstring PluginFile(const wchar_t* name) const;
  std::wstring SettingsFile() const;

  void WriteSettings(const std::string& bytes) const;
  // The settings file's bytes, or "(missing)".
  std::string ReadSettings() const;

 private:
  std::wstring root_;
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

// Removes a folder with everything in it, as far as it can.
void RemoveTree(const std::wstring& path);

// Writes the bytes as the whole file; ends the program if that fails.
void WriteWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace sim
