// The files an armed run writes beside the settings file: the report
// (KelvarionSaveCleaner.log), the list of erased forms (KelvarionSaveCleaner.erased.txt) and
// the list of kept forms (KelvarionSaveCleaner.kept.txt). Each is opened once, at the armed
// start, and held until the run ends: any program may read it
// meanwhile, none may write it, and one that renames it takes the writer along, so a run's lines
// never land in another's.
#pragma once

#include <cstddef>

#include "report/run_file_names.h"
#include "report/set_aside.h"

// Where a run file went at the armed start.
enum class RunFilePlace : std::uint8_t {
  UsualName,   // KelvarionSaveCleaner.log and the like, the previous one moved to its .old name
  OtherName,   // the usual name could not be taken: a name of the run's own (OtherName)
  NotWritten,  // no file could be created, or its name could not be formed
};

// At an armed start, before any lock is taken: moves each previous file to its .old name
// (set_aside.h: retrying for a moment while another program holds it, never under a live
// writer), replacing the previous .old file, and creates a new one. Nothing else that existed
// before is overwritten or deleted.
void OpenRunFiles() noexcept;

RunFilePlace PlaceOf(RunFile file) noexcept;
// For a file under another name: what kept it from its usual one.
SetAside SetAsideOf(RunFile file) noexcept;

// The report found under the usual name at this armed start, if its run ended inside a pass:
// which pass (0: none), and the name that holds that report now (its .old name, or the usual
// one when it could not move).
struct PreviousReport {
  unsigned passLeftOpen = 0;
  RunFileName nowAt;
};
PreviousReport PreviousReportOf() noexcept;
// The name this run writes `file` under (the usual one when it wrote none).
RunFileName NameOf(RunFile file) noexcept;

// The run is over: the files are complete and free for any program.
void CloseRunFiles() noexcept;

// Appends to a run file, one section at a time: every write lands whole or the appender says
// so.
class RunFileAppender {
 public:
  explicit RunFileAppender(RunFile file) noexcept;

  // False once the file is not open or any write of this appender fell short.
  bool Append(const char* text, std::size_t length) noexcept;
  // Puts what was appended on disk before returning (the process may end right after).
  void Flush() noexcept;

 private:
  void* file_;
  bool ok_;
};
