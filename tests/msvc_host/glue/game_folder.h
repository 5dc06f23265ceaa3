// The game folder a scenario process plays in: the plugin's settings file lies in its
// Data\VKRX\Plugins, and the folder is the current directory while the scenario runs.
#pragma once

#include <string>

#include "sim/scratch_folder.h"

namespace msvc_host {

// Makes the folder the one the settings functions of seam.h use, for the object's lifetime.
class GameFolderScope {
 public:
  explicit GameFolderScope(const sim::ScratchGameFolder& folder);
  ~GameFolderScope();
  GameFolderScope(const GameFolderScope&) = delete;
  GameFolderScope& operator=(const GameFolderScope&) = delete;
};

// The settings file's bytes now, "" when it is missing.
std::string SettingsNow();

// A crash ends the process without destructors: the folder goes here instead.
void RemoveGameFolderAfterCrash();

}  // namespace msvc_host
