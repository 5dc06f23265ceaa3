// Runs one scenario in the host simulator (a child process) against the real DLL, in a
// fresh game folder, and returns what the simulator recorded.
#pragma once

#include <string>
#include <vector>

#include "sim/scratch_folder.h"

namespace testing_support {

struct SimResult {
  unsigned long exitCode = 0;
  std::vector<std::string> lines;  // one recorded call or event a line

  bool Has(const std::string& line) const { return IndexOf(line) >= 0; }
  // Index of the first line equal to `line`, or -1.
  int IndexOf(const std::string& line, int from = 0) const;
  // Index of the first line starting with `prefix`, or -1.
  int IndexOfPrefix(const std::string& prefix, int from = 0) const;
  int Count(const std::string& line) const;
  int CountPrefix(const std::string& prefix) const;
  // Lines starting with any of the prefixes, in order.
  std::vector<std::string> Filter(const std::vector<std::string>& prefixes) const;
  // Every line, for failure messages.
  std::string All() const;
  // True when the simulator ran its whole script (no crash, no termination).
  bool Completed() const { return Has("end"); }
};

class SimScenario {
 public:
  // The game folder's full path has `gameFolderLength` characters, if given.
  explicit SimScenario(std::size_t gameFolderLength = 0) : folder_(L"test", gameFolderLength) {}

  sim::ScratchGameFolder& Folder() { return folder_; }
  void WriteSettings(const std::string& bytes) { folder_.WriteSettings(bytes); }
  // Runs the simulator once (a simulator that cannot start is a failed run, never retried).
  SimResult Run(const std::string& script);

 private:
  sim::ScratchGameFolder folder_;
};

// The settings file shipped to players (copied beside the test programs by the build), or
// "" when it is missing.
std::string ShippedSettings();

// Settings file texts used across tests.
inline const std::string ArmedSettings = "[General]\r\nbPluginActive=1\r\n";
inline const std::string ArmedWithOutposts = "[General]\r\nbPluginActive=1\r\nbEraseOutposts=1\r\n";

// The caption every box carries and the quoted texts, as the player reads them.
inline const std::string Caption = "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0";

// A text escaped as the simulator records it: \n for a line feed, \\ for a backslash.
std::string Escaped(const std::string& text);
// The line the simulator records for a box ('a' or 'w') showing `text` with Caption.
std::string BoxLine(char kind, const std::string& text);

}  // namespace testing_support
