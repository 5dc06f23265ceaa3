// Files the simulator, the benchmarks and the tests find beside their own program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sim {

// The path of `fileName` in the folder of the running executable.
std::wstring BesideThisProgram(const wchar_t* fileName);

// The file's bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
// The file's bytes from `offset` on (a file another program still writes: the C runtime's
// reader shares writing).
std::optional<std::string> ReadFileFrom(const std::wstring& path, std::uint64_t offset);

}  // namespace sim
