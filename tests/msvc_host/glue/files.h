// Files the glue reads: the plugin beside this program, and the settings file's bytes.
#pragma once

#include <optional>
#include <string>

namespace msvc_host {

// This program's own path, and a file's path in this program's folder.
std::wstring ThisProgram();
std::wstring BesideThisProgram(const std::wstring& fileName);
// Ends the program with a message when a Windows call the glue relies on failed.
void RequireWindows(bool ok, const char* what);
// The file's bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

}  // namespace msvc_host
