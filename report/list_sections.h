// The lists beside the report: KelvarionSaveCleaner.erased.txt, every form each pass erased,
// and KelvarionSaveCleaner.kept.txt, every run-time 'K', 'J' or 'V' form it kept and the rule
// that kept it. Each starts with a short header and has one section a pass: a heading (which
// load, when, how many forms), one line a form, and "N forms listed", which a list cut short
// lacks. A pass that failed writes its section too. Nothing here allocates.
#pragma once

#include <cstdint>

#include "report/pass_counters.h"

// Which lists the run keeps: their records got room at the armed start.
struct ListRooms {
  bool erased;
  bool kept;
};

// At the armed start, after the files are open. A list whose record has no room says that it
// lists nothing in this run.
void StartFormLists(ListRooms rooms) noexcept;

struct ListsWritten {
  bool erased;  // true too when the run has no erased record
  bool kept;    // true too when the run has no kept record
};

// The `pass`-th pass reported (1 for the first load's), which walked the table: each heading
// gives the pass's count (from its counters), each section the forms recorded.
ListsWritten AppendPassToLists(unsigned pass, const PassCounters& counters,
                               const ErasedFormsOfPass& erased,
                               const KeptFormsOfPass& kept) noexcept;

// The `pass`-th pass, which failed: before its walk (nothing erased, nothing kept) or, should
// anything fail during it, after what its counters say.
void AppendFailedPassToLists(unsigned pass, const PassCounters& counters,
                             const ErasedFormsOfPass& erased, const KeptFormsOfPass& kept) noexcept;
