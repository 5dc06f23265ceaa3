#include "report/set_aside.h"

#include <windows.h>

namespace {

constexpr DWORD RetryIntervalMs = 100;
constexpr unsigned RetriesPerRename = 5;

DWORD AttributesOf(const wchar_t* path) {
  return GetFileAttributesW(path);
}

bool Exists(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(DWORD attributes) {
  return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether an open of `path` for `access`, sharing as said, fails with a sharing violation: then
// some program holds the file in a way that shuts this open out. A successful open is closed.
bool SharingRefused(const wchar_t* path, DWORD access, DWORD sharing) {
  HANDLE file =
      CreateFileW(path, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(file);
  return false;
}

// A reader that leaves writing to others never shuts out an open that shares reading and
// deleting but not writing; a writer always does: the run of a second game process, say.
bool HeldByAWriter(const wchar_t* path) {
  return SharingRefused(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE);
}

// A rename onto the .old file fails with access denied while any program has it open, and
// when Windows refuses the player the folder. An open of it for deleting, sharing everything,
// tells them apart: it succeeds, or meets a sharing violation, only while the file is there
// and the folder lets the player delete it.
bool OldHeldOpen(const wchar_t* old) {
  HANDLE file = CreateFileW(old, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(file);
  return true;
}

}  // namespace

bool RenameRetries::Wait(unsigned& retriesOfThisRename) noexcept {
  if (retriesOfThisRename == RetriesPerRename || left_ == 0) return false;
  ++retriesOfThisRename;
  --left_;
  Sleep(RetryIntervalMs);
  return true;
}

SetAside MoveAside(const wchar_t* usual, const wchar_t* old, RenameRetries& retries) noexcept {
  const DWORD attributes = AttributesOf(usual);
  if (!Exists(attributes)) return {};
  if (IsFolder(attributes)) return {Obstacle::FolderInPlace, false};
  const DWORD oldAttributes = AttributesOf(old);
  if (IsFolder(oldAttributes)) return {Obstacle::FolderInPlace, true};
  if (Exists(oldAttributes) && (oldAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return {Obstacle::OldReadOnly, true};
  }
  if (HeldByAWriter(usual)) return {Obstacle::LiveWriter, false};
  unsigned retriesOfThisRename = 0;
  for (;;) {
    if (MoveFileExW(usual, old, MOVEFILE_REPLACE_EXISTING) != 0) return {};
    const DWORD error = GetLastError();
    SetAside held;
    if (error == ERROR_SHARING_VIOLATION) {
      held = {Obstacle::HeldOpen, false};  // open without delete sharing
    } else if (error == ERROR_ACCESS_DENIED && OldHeldOpen(old)) {
      held = {Obstacle::HeldOpen, true};
    } else {
      return {Obstacle::Refused, false};  // refused by permission: no try would do better
    }
    if (!retries.Wait(retriesOfThisRename)) return held;
  }
}
