// The report file, KelvarionSaveCleaner.log in the plugin folder, and the one write it takes
// at a time: open, append, close. No thread and no lock of its own; others may read it
// meanwhile.
#pragma once

#include <cstddef>

// Renames an existing report to KelvarionSaveCleaner.old.log (replacing an older one) and
// creates a new one holding `text`. If the new file cannot be created, nothing more is
// written in this run.
void StartReportFile(const char* text, std::size_t length) noexcept;

// Appends to the report this run started; `flush` puts it on disk before returning (the
// process may end without flushing anything right after).
void AppendToReportFile(const char* text, std::size_t length, bool flush) noexcept;
