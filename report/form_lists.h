// The lines of the lists of erased and of kept forms (KelvarionSaveCleaner.erased.txt,
// KelvarionSaveCleaner.kept.txt), one a form, for a player who searches them for a FormId the
// game's console showed. A line is the FormId and the kind, then words: "FF00A1B2 K",
// "FF00A1B2 V outpost unreadable", "FF00A1B2 K hold-link".
#pragma once

#include <span>

#include "report/pass_counters.h"
#include "report/run_files.h"

// Appends one line a form, in order, CR LF ends. Allocates nothing: the lines go out through
// a fixed buffer, in a few large writes. False when a write fell short.
bool AppendFormLines(RunFileAppender& list, std::span<const ErasedForm> forms) noexcept;
bool AppendFormLines(RunFileAppender& list, std::span<const KeptForm> forms) noexcept;
