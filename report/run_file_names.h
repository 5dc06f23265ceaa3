// The names of the files an armed run writes in the plugin folder: the usual one, the .old
// one the previous run's file moves to, and one of the run's own for when the usual one cannot
// be taken. Each becomes a full path in the \\?\ form, which Windows takes at any length: a
// relative name stops working once the game folder's path and the name reach 260 characters.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

enum class RunFile : std::uint8_t { Report, ErasedList, KeptList };
inline constexpr std::size_t RunFileCount = 3;

// A file name in the plugin folder, such as "KelvarionSaveCleaner.erased.old.txt".
struct RunFileName {
  char text[64] = {};
};

RunFileName UsualName(RunFile file) noexcept;
RunFileName OldName(RunFile file) noexcept;
// "KelvarionSaveCleaner.erased.2031-04-27_134509.txt" for a run that started then, with "-2",
// "-3"... before the extension from `attempt` 2 on: it sorts beside the usual name and says
// when its run began.
RunFileName OtherName(RunFile file, const SYSTEMTIME& runStart, unsigned attempt) noexcept;

// The longest path Windows forms, in characters, and a buffer that holds it.
inline constexpr std::size_t LongestPath = 32767;
using PathBuffer = wchar_t[LongestPath + 1];

// The full path of `name` in the plugin folder, in the \\?\ form (\\?\UNC\ for a network
// share). False, with `path` empty, when it cannot be formed.
bool FullPathOf(const RunFileName& name, PathBuffer& path) noexcept;
