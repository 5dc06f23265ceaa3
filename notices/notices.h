// Everything the plugin tells the player goes through these two message boxes.
#pragma once

#include <string>

// displayName of the version record (up to its first NUL), " v", then VersionText.
std::string NoticeCaption();

// Informational box (MessageBoxA, MB_OK); returns when the player has closed it.
void ShowNotice(std::string text);

// Wide box with the UTF-8 text, then ends the game process with exit code 0. Returns only
// if termination does not take effect.
void ShowFatalErrorAndExit(std::string text);

// "Fatal error has occured in function <name> at line <line>\n\n\nError text: \n -> <text>\n"
std::string ComposeFatalErrorText(const std::string& functionName, unsigned line,
                                  const std::string& errorText);

// Composes and shows a fatal error (the text of ComposeFatalErrorText, the box and exit of
// ShowFatalErrorAndExit), then ends the game process. Needs no heap and never throws.
void ReportFatalError(const char* functionName, unsigned line, const char* errorText) noexcept;
