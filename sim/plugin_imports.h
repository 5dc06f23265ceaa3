// The plugin's Windows calls, seen and steered through its import table: message boxes
// (recorded, never shown unless asked), TerminateProcess, GetModuleHandleW, the allocations
// malloc, calloc and realloc (counted, refused on demand), free (counted), the performance
// counter (the virtual clock), the local time (fixed on demand) and the settings write.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace sim {

// Patches the plugin's imports; ends the simulator if one is missing.
void PatchPluginImports(HMODULE plugin);

// Runs `action` while the Nth message box (1-based, counting all boxes) is open, after the
// actions given for that box before.
void WhileBoxOpen(unsigned boxNumber, std::function<void()> action);
// Runs `action` after each call of WritePrivateProfileStringW has written.
void AfterSettingsWrite(std::function<void()> action);

// Allocations in the plugin (malloc, calloc, realloc) fail for `count` calls, starting with the
// `nth` call from now.
void FailMallocs(std::uint64_t nth, std::uint64_t count);
// The next `count` allocations of `from` to `until` - 1 bytes fail, once `after` such
// allocations have gone through; others go through. MallocCalls counts every allocation.
void FailMallocsOfSize(std::size_t from, std::size_t until, std::uint64_t count,
                       std::uint64_t after);
std::uint64_t MallocCalls();
std::uint64_t FreeCalls();

}  // namespace sim
