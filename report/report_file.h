// The two files an armed run writes in the plugin folder: the report
// (KelvarionSaveCleaner.log) and the list of erased forms (KelvarionSaveCleaner.erased.txt).
// No thread and no lock of their own; others may read them meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>

enum class RunFile : std::uint8_t { Report, ErasedList };

// Renames an existing file to its old name (KelvarionSaveCleaner.old.log,
// KelvarionSaveCleaner.erased.old.txt; replacing an older one) and creates a new one holding
// `text`. If the new file cannot be created, nothing more is written to it in this run.
void StartRunFile(RunFile file, const char* text, std::size_t length) noexcept;

// Closes a file handle exactly once.
class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(void* handle) noexcept : handle_(handle) {}
  ~ScopedFileHandle();
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
  ScopedFileHandle(ScopedFileHandle&&) = delete;
  ScopedFileHandle& operator=(ScopedFileHandle&&) = delete;

  bool Valid() const noexcept;
  void* Get() const noexcept { return handle_; }

 private:
  void* handle_;
};

// Appends to a file this run started, through one handle for as long as it lives. Every
// write lands whole or the appender says so.
class RunFileAppender {
 public:
  explicit RunFileAppender(RunFile file) noexcept;

  // False once the file could not be opened or any write fell short.
  bool Append(const char* text, std::size_t length) noexcept;
  // Puts what was appended on disk before returning (the process may end right after).
  void Flush() noexcept;

 private:
  ScopedFileHandle file_;
  bool ok_;
};
