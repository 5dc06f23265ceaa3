#include "report/run_files.h"

#include <windows.h>

#include "report/previous_run.h"
#include "report/set_aside.h"

namespace {

struct OpenRunFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  RunFilePlace place = RunFilePlace::NotWritten;
  RunFileName name;
  SetAside setAside;  // why the usual name was not taken, for a file under another
};
OpenRunFile runFiles[RunFileCount];
PreviousReport previousReport;

// Only the armed start uses them; static so that no thread's stack must hold 64 KiB each.
PathBuffer path;
PathBuffer oldPath;

// CREATE_NEW: whatever stands at the name stays as it was. Held until the run ends: any
// program may read it meanwhile, none may write it, and one that renames or deletes it
// (Explorer) may.
HANDLE CreateNew(const RunFileName& name) {
  if (!FullPathOf(name, path)) return INVALID_HANDLE_VALUE;
  return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

void Open(RunFile file, const SYSTEMTIME& runStart, RenameRetries& retries) {
  OpenRunFile& opened = runFiles[static_cast<std::size_t>(file)];
  opened.name = UsualName(file);
  // A folder whose full path cannot be formed holds no name of this run's either.
  if (!FullPathOf(opened.name, path) || !FullPathOf(OldName(file), oldPath)) return;
  // Read before the previous report moves: whether its run ended inside a pass.
  const unsigned passLeftOpen = file == RunFile::Report ? PassLeftOpenIn(path) : 0;
  opened.setAside = MoveAside(path, oldPath, retries);
  const bool moved = opened.setAside.obstacle == Obstacle::None;
  // A report a live writer holds is that run's own, going on: not one that ended.
  if (passLeftOpen != 0 && opened.setAside.obstacle != Obstacle::LiveWriter) {
    previousReport = {passLeftOpen, moved ? OldName(file) : UsualName(file)};
  }
  opened.handle = CreateNew(opened.name);
  if (opened.handle != INVALID_HANDLE_VALUE) {
    opened.place = RunFilePlace::UsualName;
    return;
  }
  // Moved, yet taken at once: another program created it in between (a second game, say).
  const bool takenSince = GetLastError() == ERROR_FILE_EXISTS;
  if (moved) opened.setAside = {takenSince ? Obstacle::LiveWriter : Obstacle::Refused, false};
  // Two armed starts in one second (two game processes, say) count on.
  constexpr unsigned Attempts = 99;
  for (unsigned attempt = 1; attempt <= Attempts; ++attempt) {
    const RunFileName other = OtherName(file, runStart, attempt);
    opened.handle = CreateNew(other);
    if (opened.handle != INVALID_HANDLE_VALUE) {
      opened.name = other;
      opened.place = RunFilePlace::OtherName;
      return;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

bool WriteAll(HANDLE file, const char* text, std::size_t length) noexcept {
  DWORD written = 0;
  return WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) != 0 &&
         written == length;
}

const OpenRunFile& Opened(RunFile file) noexcept {
  return runFiles[static_cast<std::size_t>(file)];
}

}  // namespace

void OpenRunFiles() noexcept {
  SYSTEMTIME runStart;
  GetLocalTime(&runStart);
  RenameRetries retries;
  for (std::size_t file = 0; file < RunFileCount; ++file) {
    Open(static_cast<RunFile>(file), runStart, retries);
  }
}

PreviousReport PreviousReportOf() noexcept {
  return previousReport;
}

RunFilePlace PlaceOf(RunFile file) noexcept {
  return Opened(file).place;
}

SetAside SetAsideOf(RunFile file) noexcept {
  return Opened(file).setAside;
}

RunFileName NameOf(RunFile file) noexcept {
  return Opened(file).place == RunFilePlace::NotWritten ? UsualName(file) : Opened(file).name;
}

void CloseRunFiles() noexcept {
  for (OpenRunFile& opened : runFiles) {
    if (opened.handle != INVALID_HANDLE_VALUE) CloseHandle(opened.handle);
    opened.handle = INVALID_HANDLE_VALUE;
  }
}

RunFileAppender::RunFileAppender(RunFile file) noexcept
    : file_(Opened(file).handle), ok_(file_ != INVALID_HANDLE_VALUE) {}

bool RunFileAppender::Append(const char* text, std::size_t length) noexcept {
  ok_ = ok_ && WriteAll(file_, text, length);
  return ok_;
}

void RunFileAppender::Flush() noexcept {
  if (ok_) FlushFileBuffers(file_);
}
