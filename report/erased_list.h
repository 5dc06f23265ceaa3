// The lines of the list of erased forms (KelvarionSaveCleaner.erased.txt), one a form, for a
// player who searches it for a FormId the game's console showed.
#pragma once

#include <span>

#include "report/pass_counters.h"
#include "report/run_files.h"

// Appends one line a form, in order: "FF00A1B2 K", "FF00A1B2 V outpost" (CR LF ends).
// Allocates nothing: the lines go out through a fixed buffer, in a few large writes. False
// when a write fell short.
bool AppendErasedForms(RunFileAppender& list, std::span<const ErasedForm> forms) noexcept;
