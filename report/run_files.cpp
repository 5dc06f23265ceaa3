#include "report/run_files.h"

#include <windows.h>

#include "report/previous_run.h"

namespace {

struct OpenRunFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  RunFilePlace place = RunFilePlace::NotWritten;
  RunFileName name;
};
OpenRunFile runFiles[RunFileCount];
PreviousReport previousReport;

// Only the armed start uses them; static so that no thread's stack must hold 64 KiB each.
PathBuffer path;
PathBuffer oldPath;

// A scanner, an indexer or a sync agent holds a file for a moment: a rename it refuses is
// tried again a few times, within about a second for all the files together.
constexpr DWORD RetryIntervalMs = 100;
constexpr unsigned RetriesPerRename = 5;
constexpr unsigned RetriesPerStart = 10;

class RenameRetries {
 public:
  // Waits before the next try of a rename that failed with `error`; false when it is not
  // worth another: another kind of error, or the rename's or the start's tries are spent.
  bool WaitAfter(DWORD error, unsigned& retriesOfThisRename) noexcept {
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return false;
    if (retriesOfThisRename == RetriesPerRename || left_ == 0) return false;
    ++retriesOfThisRename;
    --left_;
    Sleep(RetryIntervalMs);
    return true;
  }

 private:
  unsigned left_ = RetriesPerStart;
};

bool IsReadOnlyOrFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// Moves the previous run's file to the .old name; true when it moved. A folder in either place
// is someone else's, and a read-only .old file is one the player keeps: neither is replaced.
bool MoveAside(RunFile file, RenameRetries& retries) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  if (!FullPathOf(OldName(file), oldPath) || IsReadOnlyOrFolder(GetFileAttributesW(oldPath))) {
    return false;
  }
  unsigned retriesOfThisRename = 0;
  for (;;) {
    if (MoveFileExW(path, oldPath, MOVEFILE_REPLACE_EXISTING) != 0) return true;
    if (!retries.WaitAfter(GetLastError(), retriesOfThisRename)) return false;
  }
}

// CREATE_NEW: whatever stands at the name stays as it was.
HANDLE CreateNew(const RunFileName& name) {
  if (!FullPathOf(name, path)) return INVALID_HANDLE_VALUE;
  return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

void Open(RunFile file, const SYSTEMTIME& runStart, RenameRetries& retries) {
  OpenRunFile& opened = runFiles[static_cast<std::size_t>(file)];
  opened.name = UsualName(file);
  // A folder whose full path cannot be formed holds no name of this run's either.
  if (!FullPathOf(opened.name, path)) return;
  // Read before the previous report moves: whether its run ended inside a pass.
  const unsigned passLeftOpen = file == RunFile::Report ? PassLeftOpenIn(path) : 0;
  const bool moved = MoveAside(file, retries);
  if (passLeftOpen != 0) previousReport = {passLeftOpen, moved ? OldName(file) : UsualName(file)};
  opened.handle = CreateNew(opened.name);
  if (opened.handle != INVALID_HANDLE_VALUE) {
    opened.place = RunFilePlace::UsualName;
    return;
  }
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
