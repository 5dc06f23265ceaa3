// The texts the player reads, quoted as the product must show them.
#pragma once

#include <string>

namespace expected {

inline const std::string ArmedNotice =
    "Kelvarion Save Cleaner is active "
    "(..\\Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini\\bPluginActive).\n\nPlease load a Save "
    "Game.";

inline const std::string MissingModuleFatal =
    "Fatal error has occured in function VKRXPlugin_Load at line 687\n\n\nError text: \n -> "
    "Installation error: Kelvarion.exe handle couldn't be acquired\n";

inline std::string FailedPassFatal(int line) {
  return "Fatal error has occured in function Events::HandleNVALoadGameEvent at line " +
         std::to_string(line) +
         "\n\n\nError text: \n -> Fatal error occured while cleaning the Save Game, the game will "
         "exit.\n";
}

inline const std::string FirstPhaseNotice =
    "The first Save Game cleaning phase is complete.\n\nPlease create a new Save Game in the "
    "Pause Menu then reload this save.\n\nIt is recommended to type 'TCL' in the Console to turn "
    "off collision if the save was created at a procedually generated location to prevent "
    "falling off.";

inline const std::string SecondPhaseNotice =
    "The second Save Game cleaning phase is complete.\n\nPlease create a new Save Game then exit "
    "the game as soon as possible.\n\nReopen Kelvarion and load this save.\n\nThis is the "
    "'cleaned' save. Please test it thoroughly.\n\n(Don't forget about the 'TCL' console command "
    "if you're currently on a procedually generated terrain to prevent falling off).\n\nNote: the "
    "plugin now resets 'bPluginActive' in KelvarionSaveCleaner.ini to deactivate itself.";

inline const std::string DisarmWarning =
    "\n\nWarning: INI setting 'bPluginActive' couldn't be deactivated. Please change its value to "
    "0 in KelvarionSaveCleaner.ini";

}  // namespace expected
