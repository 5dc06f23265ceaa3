// The cleaning report players read and paste: KelvarionSaveCleaner.log beside the settings
// file, what each run did in plain words; and beside it the lists of the forms each pass
// erased and kept (list_sections.h). Every function here allocates nothing and throws
// nothing: neither file ever changes what a run does.
#pragma once

#include "report/list_sections.h"
#include "report/pass_counters.h"

// An armed start: the previous report becomes KelvarionSaveCleaner.old.log and the previous
// lists KelvarionSaveCleaner.erased.old.txt and KelvarionSaveCleaner.kept.old.txt (run_files.h:
// what happens when they cannot); a new report begins with the product, where this run's
// files are if not under their usual names, whether the previous run ended inside a pass,
// the game version and the outpost setting, and each new list with how to read it. `rooms`:
// which lists' records got their memory (a list without says that it lists nothing).
void StartReport(bool eraseOutposts, ListRooms rooms) noexcept;

// An armed start whose loader offers no messaging service: no cleaning will happen, and the
// run's files are closed.
void ReportNoMessagingService() noexcept;

// A pass has passed the checks before the game's lock and is about to take it: the line that
// opens its section, on disk before this returns. Should the game end inside the pass, the
// report ends with it, and the next armed start says so.
void ReportPassBegins() noexcept;

// One pass that walked the table (the first load's, then the second's), the forms it erased,
// in the order of its erase calls, and those it kept: first to the lists, then to the report.
void ReportPass(const PassCounters& counters, const ErasedFormsOfPass& erased,
                const KeptFormsOfPass& kept) noexcept;

// Why a pass could not walk, in a player's words, as its FAILED line says it.
const char* PassFailureReason(PassFailure failure) noexcept;

// One pass that failed, and why (its report line on disk before the lists are written), with
// what it counted, erased and kept before it failed.
void ReportPassFailure(PassFailure failure, const PassCounters& counters,
                       const ErasedFormsOfPass& erased, const KeptFormsOfPass& kept) noexcept;

// The end of the run: whether bPluginActive was set to 0. The run's files are closed.
void ReportRunEnd(bool disarmed) noexcept;
