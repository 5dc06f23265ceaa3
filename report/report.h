// The cleaning report players read and paste: KelvarionSaveCleaner.log beside the settings
// file, what each run did in plain words; and beside it KelvarionSaveCleaner.erased.txt, the
// FormId of every form each pass erased. Every function here allocates nothing and throws
// nothing: neither file ever changes what a run does.
#pragma once

#include <span>

#include "report/pass_counters.h"

// An armed start: the previous report becomes KelvarionSaveCleaner.old.log and the previous
// list KelvarionSaveCleaner.erased.old.txt (run_files.h: what happens when they cannot); a
// new report begins with the product, where this run's files are if not under their usual
// names, the game version and the outpost setting, and a new list with how to read it.
void StartReport(bool eraseOutposts) noexcept;

// An armed start whose loader offers no messaging service: no cleaning will happen, and the
// run's files are closed.
void ReportNoMessagingService() noexcept;

// One pass that walked the table (the first load's, then the second's), and the forms it
// erased, in the order of its erase calls: first to the list, then to the report.
void ReportPass(const PassCounters& counters, std::span<const ErasedForm> erased) noexcept;

// Why a pass could not walk, in a player's words, as its FAILED line says it.
const char* PassFailureReason(PassFailure failure) noexcept;

// One pass that could not walk, and why; on disk when this returns.
void ReportPassFailure(PassFailure failure) noexcept;

// The end of the run: whether bPluginActive was set to 0. The run's files are closed.
void ReportRunEnd(bool disarmed) noexcept;
