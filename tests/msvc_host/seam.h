// The seam between the MSVC-ABI host's game side (compiled by clang in the Microsoft C++ ABI,
// with no C runtime) and the Windows glue around it (MinGW GCC). Plain C functions whose
// arguments are pointers and fixed-width integers, on which the two compilers agree. The glue
// knows nothing of the game; the game side reaches Windows only through these functions.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// A message box the plugin showed, as the glue intercepted it.
struct GlueBox {
  int32_t wide;         // MessageBoxW rather than MessageBoxA
  int32_t ownerIsNull;  // no owner window
  uint32_t style;
  const char* caption;   // UTF-8
  const char* text;      // UTF-8
  const char* settings;  // the settings file's bytes while the box was open, "" when missing
};

// A TerminateProcess call the plugin made, as the glue intercepted it (the process goes on).
struct GlueTermination {
  int32_t currentProcess;  // the handle was GetCurrentProcess()'s
  uint32_t exitCode;
  uint32_t boxesShownBefore;  // message boxes the plugin had shown by then
};

// Provided by the glue.
void GlueReportCheck(const char* name, int32_t passed, const char* detail);
void* GlueProgramBase(void);
// Loads the file from beside this program and intercepts its imports of MessageBoxA,
// MessageBoxW, TerminateProcess, QueryPerformanceCounter and QueryPerformanceFrequency; null
// when either fails.
void* GlueLoadPlugin(const char* fileName);
void GlueMakeExecutable(void* address, uint64_t bytes);
void GlueAdvanceClock(int64_t nanoseconds);
uint32_t GlueBoxCount(void);
const struct GlueBox* GlueBoxAt(uint32_t index);
uint32_t GlueTerminationCount(void);
const struct GlueTermination* GlueTerminationAt(uint32_t index);
// The plugin's settings file in the current game folder: written whole, read whole (null when
// it is missing; the text stays valid until the next read).
void GlueWriteSettings(const char* bytes);
const char* GlueReadSettings(void);

// Provided by the game side.
uint32_t GameScenarioCount(void);
const char* GameScenarioName(uint32_t index);
// Plays one scenario in this process, one check line at a time; false for an unknown name.
int32_t GameRunScenario(const char* name);
// What the game side is doing right now, for the report of a crash.
const char* GameStepInProgress(void);

#ifdef __cplusplus
}
#endif
