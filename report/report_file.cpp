#include "report/report_file.h"

#include <windows.h>

#include <initializer_list>

#include "host/plugin_folder.h"

namespace {

// Set once this run's report exists; a run whose report could not be created writes nothing.
bool reportStarted = false;

// PluginFolder + base name + ending, widened into a fixed buffer (every part is ASCII).
struct ReportPath {
  explicit ReportPath(const char* ending) noexcept {
    for (const char* part : {PluginFolder, PluginFilesBaseName, ending}) {
      for (; *part != '\0' && length + 1 < sizeof text / sizeof text[0]; ++part) {
        text[length++] = static_cast<wchar_t>(*part);
      }
    }
    text[length] = L'\0';
  }
  wchar_t text[96] = {};
  std::size_t length = 0;
};

// Closes the handle exactly once.
class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~ScopedFileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
  ScopedFileHandle(ScopedFileHandle&&) = delete;
  ScopedFileHandle& operator=(ScopedFileHandle&&) = delete;

  bool Valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const noexcept { return handle_; }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, const char* text, std::size_t length) noexcept {
  DWORD written = 0;
  return WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) != 0 &&
         written == length;
}

}  // namespace

void StartReportFile(const char* text, std::size_t length) noexcept {
  const ReportPath path(".log");
  const ReportPath old(".old.log");
  // Only a file moves aside: a directory of that name is someone else's and stays put.
  const DWORD attributes = GetFileAttributesW(path.text);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    MoveFileExW(path.text, old.text, MOVEFILE_REPLACE_EXISTING);
  }
  // CREATE_NEW: a report that could not be moved aside is never overwritten.
  const ScopedFileHandle file(CreateFileW(path.text, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  reportStarted = WriteAll(file.Get(), text, length);
}

void AppendToReportFile(const char* text, std::size_t length, bool flush) noexcept {
  if (!reportStarted) return;
  const ReportPath path(".log");
  const ScopedFileHandle file(CreateFileW(path.text, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  if (WriteAll(file.Get(), text, length) && flush) FlushFileBuffers(file.Get());
}
