#include "settings/settings.h"

#include "settings/profile.h"

bool bPluginActive = false;
bool bEraseOutposts = false;

namespace {
constexpr const char* SettingsBaseName = PluginFilesBaseName;
constexpr const char* SettingsSection = "General";
}  // namespace

void ReadSettings() {
  bPluginActive = ReadProfileValue(SettingsBaseName, SettingsSection, "bPluginActive") == "1";
  bEraseOutposts = ReadProfileValue(SettingsBaseName, SettingsSection, "bEraseOutposts") == "1";
}

bool DisarmPlugin() {
  return WriteProfileValue(SettingsBaseName, SettingsSection, "bPluginActive", "0");
}
