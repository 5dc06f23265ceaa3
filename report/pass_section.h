// One pass's section of the report: a verdict in plain words, what the player does next,
// then the figures, each under a label a player can read.
#pragma once

#include "report/pass_counters.h"
#include "report/report_text.h"

// "First load", "Second load", then "Another load".
const char* LoadName(unsigned pass);

// What follows the load's name on the line written just before a pass takes the lock.
inline constexpr const char* PassBeginsText = ": the cleaning pass begins.";

// "750 'K', 300 'J', 450 'V'": a pass's erasures by kind.
ReportText& AddErasedByKind(ReportText& text, const PassCounters& counters);

// The section of the `pass`-th pass reported in this process (1 for the first load's), from
// its heading (the line after the blank line or the begins line that opens it) to its last
// figure.
void AddPassSection(ReportText& text, unsigned pass, const PassCounters& counters);

// The verdict that ends the pass's section (verdict.h).
void AddPassVerdict(ReportText& text, unsigned pass, const PassCounters& counters);
