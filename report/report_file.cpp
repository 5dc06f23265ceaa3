#include "report/report_file.h"

#include <windows.h>

#include <initializer_list>
#include <iterator>

#include "host/plugin_folder.h"

namespace {

struct RunFileNames {
  const char* ending;
  const char* oldEnding;
};
constexpr RunFileNames Names[] = {{".log", ".old.log"}, {".erased.txt", ".erased.old.txt"}};

// Set once this run's file exists; a file that could not be created is not written to.
bool started[std::size(Names)] = {};

// PluginFolder + base name + ending, widened into a fixed buffer (every part is ASCII).
struct PluginFilePath {
  explicit PluginFilePath(const char* ending) noexcept {
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

const RunFileNames& NamesOf(RunFile file) {
  return Names[static_cast<std::size_t>(file)];
}

// The handle of an existing file of the run, opened to append, or an invalid one.
HANDLE OpenToAppend(RunFile file) noexcept {
  if (!started[static_cast<std::size_t>(file)]) return INVALID_HANDLE_VALUE;
  const PluginFilePath path(NamesOf(file).ending);
  return CreateFileW(path.text, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE file, const char* text, std::size_t length) noexcept {
  DWORD written = 0;
  return WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) != 0 &&
         written == length;
}

}  // namespace

void StartRunFile(RunFile file, const char* text, std::size_t length) noexcept {
  const PluginFilePath path(NamesOf(file).ending);
  const PluginFilePath old(NamesOf(file).oldEnding);
  // Only a file moves aside: a directory of that name is someone else's and stays put.
  const DWORD attributes = GetFileAttributesW(path.text);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    MoveFileExW(path.text, old.text, MOVEFILE_REPLACE_EXISTING);
  }
  // CREATE_NEW: a file that could not be moved aside is never overwritten.
  const ScopedFileHandle created(CreateFileW(path.text, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!created.Valid()) return;
  started[static_cast<std::size_t>(file)] = WriteAll(created.Get(), text, length);
}

ScopedFileHandle::~ScopedFileHandle() {
  if (Valid()) CloseHandle(handle_);
}

bool ScopedFileHandle::Valid() const noexcept {
  return handle_ != INVALID_HANDLE_VALUE;
}

RunFileAppender::RunFileAppender(RunFile file) noexcept
    : file_(OpenToAppend(file)), ok_(file_.Valid()) {}

bool RunFileAppender::Append(const char* text, std::size_t length) noexcept {
  ok_ = ok_ && WriteAll(file_.Get(), text, length);
  return ok_;
}

void RunFileAppender::Flush() noexcept {
  if (ok_) FlushFileBuffers(file_.Get());
}
