// Files the simulator, the benchmarks and the tests find beside their own program.
#pragma once

#include <optional>
#include <string>

namespace sim {

// The path of `fileName` in the folder of the running executable.
std::wstring BesideThisProgram(const wchar_t* fileName);

// The file's bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

}  // namespace sim
