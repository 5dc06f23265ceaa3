// The plugin's message boxes, word for word, and the settings file's lines that start a run.
#pragma once

inline constexpr const char* NoticeCaption =
    "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0";

inline constexpr const char* StartupNotice =
    "Kelvarion Save Cleaner is active "
    "(..\\Data\\VKRX\\Plugins\\KelvarionSaveCleaner.ini\\bPluginActive).\n\nPlease load a Save "
    "Game.";

inline constexpr const char* FirstPhaseNotice =
    "The first Save Game cleaning phase is complete.\n\nPlease create a new Save Game in the Pause "
    "Menu then reload this save.\n\nIt is recommended to type 'TCL' in the Console to turn off "
    "collision if the save was created at a procedually generated location to prevent falling off.";

inline constexpr const char* SecondPhaseNotice =
    "The second Save Game cleaning phase is complete.\n\nPlease create a new Save Game then exit "
    "the game as soon as possible.\n\nReopen Kelvarion and load this save.\n\nThis is the "
    "'cleaned' "
    "save. Please test it thoroughly.\n\n(Don't forget about the 'TCL' console command if you're "
    "currently on a procedually generated terrain to prevent falling off).\n\nNote: the plugin now "
    "resets 'bPluginActive' in KelvarionSaveCleaner.ini to deactivate itself.";

inline constexpr const char* FirstLoadFatalText =
    "Fatal error has occured in function Events::HandleNVALoadGameEvent at line 572\n\n\nError "
    "text: \n -> Fatal error occured while cleaning the Save Game, the game will exit.\n";

inline constexpr const char* ArmedKeepingOutposts =
    "[General]\r\nbPluginActive=1\r\nbEraseOutposts=0\r\n";
inline constexpr const char* ArmedErasingOutposts =
    "[General]\r\nbPluginActive=1\r\nbEraseOutposts=1\r\n";
inline constexpr const char* Idle = "[General]\r\nbPluginActive=0\r\nbEraseOutposts=1\r\n";
