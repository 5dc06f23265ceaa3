#include "settings/settings.h"

#include "settings/profile.h"

bool bPluginActive = false;
bool bEraseOutposts = false;

void ReadSettings() {
  bPluginActive = ReadProfileValue(SettingsBaseName, SettingsSection, "bPluginActive") == "1";
  bEraseOutposts = ReadProfileValue(SettingsBaseName, SettingsSection, "bEraseOutposts") == "1";
}
