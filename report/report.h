// The cleaning report players read and paste: KelvarionSaveCleaner.log beside the settings
// file. What each run did, in plain words; never a list of FormIds. Every function here
// allocates nothing and throws nothing: the report never changes what a run does.
#pragma once

#include "report/pass_counters.h"

// An armed start: the previous report becomes KelvarionSaveCleaner.old.log, and a new one
// begins with the product, the game version and the outpost setting.
void StartReport(bool eraseOutposts) noexcept;

// An armed start whose loader offers no messaging service: no cleaning will happen.
void ReportNoMessagingService() noexcept;

// One pass that walked the table (the first load's, then the second's).
void ReportPass(const PassCounters& counters) noexcept;

// One pass that could not walk, and why; on disk when this returns.
void ReportPassFailure(PassFailure failure) noexcept;

// The end of the run: whether bPluginActive was set to 0.
void ReportRunEnd(bool disarmed) noexcept;
