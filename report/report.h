// The cleaning report players read and paste: KelvarionSaveCleaner.log beside the settings
// file, what each run did in plain words; and beside it the lists of the forms each pass
// erased and kept (list_sections.h). Every function here allocates nothing and throws
// nothing: neither file ever changes what a run does.
#pragma once

#include <span>

#include "report/pass_counters.h"

// An armed start: the previous report becomes KelvarionSaveCleaner.old.log and the previous
// list KelvarionSaveCleaner.erased.old.txt (run_files.h: what happens when they cannot); a
// new report begins with the product, where this run's files are if not under their usual
// names, the game version and the outpost setting, and a new list with how to read it.
// `keptRecorded`: the kept record has its memory (otherwise the report and the kept list say
// that this run lists no kept form).
void StartReport(bool eraseOutposts, bool keptRecorded) noexcept;

// An armed start whose loader offers no messaging service: no cleaning will happen, and the
// run's files are closed.
void ReportNoMessagingService() noexcept;

// One pass that walked the table (the first load's, then the second's), the forms it erased,
// in the order of its erase calls, and those it kept: first to the lists, then to the report.
void ReportPass(const PassCounters& counters, std::span<const ErasedForm> erased,
                const KeptFormsOfPass& kept) noexcept;

// Why a pass could not walk, in a player's words, as its FAILED line says it.
const char* PassFailureReason(PassFailure failure) noexcept;

// One pass that failed, and why (its report line on disk before the lists are written), with
// the forms it erased and kept before it failed.
void ReportPassFailure(PassFailure failure, std::span<const ErasedForm> erased,
                       const KeptFormsOfPass& kept) noexcept;

// The end of the run: whether bPluginActive was set to 0. The run's files are closed.
void ReportRunEnd(bool disarmed) noexcept;
