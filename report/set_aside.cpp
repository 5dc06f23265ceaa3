#include "report/set_aside.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr DWORD RetryIntervalMs = 100;
constexpr unsigned RetriesPerRename = 5;

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Exists(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(DWORD attributes) {
  return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// How an open of an existing file for `access`, sharing as said, is answered: a program that
// holds the file so as to shut this open out makes it a sharing violation. An open that
// succeeds is closed at once.
enum class OpenAnswer : std::uint8_t { Opened, SharingViolation, Refused };
OpenAnswer TryOpen(const wchar_t* path, DWORD access, DWORD sharing) {
  HANDLE file =
      CreateFileW(path, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? OpenAnswer::SharingViolation
                                                     : OpenAnswer::Refused;
  }
  CloseHandle(file);
  return OpenAnswer::Opened;
}

// A live writer that shares reading and deleting, as a second game process's run does, shuts
// out an open that does not share writing and lets one that shares everything through. A
// reader that leaves writing to others shuts out neither; a program that shares nothing shuts
// out both: it holds the file, whatever it does with it.
bool HeldByALiveWriter(const wchar_t* path) {
  return TryOpen(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE) ==
             OpenAnswer::SharingViolation &&
         TryOpen(path, GENERIC_READ, ShareAll) != OpenAnswer::SharingViolation;
}

// A rename onto the .old file fails with access denied while any program has it open, and
// when Windows refuses the player the folder. An open of it for deleting, sharing everything,
// tells them apart: it succeeds, or meets a sharing violation, only while the file is there
// and the folder lets the player delete it. Then it is taken as held, and the rename worth
// another try.
bool OldHeldOrDeletable(const wchar_t* old) {
  return TryOpen(old, DELETE, ShareAll) != OpenAnswer::Refused;
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
  const DWORD attributes = GetFileAttributesW(usual);
  if (!Exists(attributes)) return {};
  if (IsFolder(attributes)) return {Obstacle::FolderInPlace, false};
  const DWORD oldAttributes = GetFileAttributesW(old);
  if (IsFolder(oldAttributes)) return {Obstacle::FolderInPlace, true};
  if (Exists(oldAttributes) && (oldAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return {Obstacle::OldReadOnly, true};
  }
  if (HeldByALiveWriter(usual)) return {Obstacle::LiveWriter, false};
  unsigned retriesOfThisRename = 0;
  for (;;) {
    if (MoveFileExW(usual, old, MOVEFILE_REPLACE_EXISTING) != 0) return {};
    const DWORD error = GetLastError();
    SetAside held;
    if (error == ERROR_SHARING_VIOLATION) {
      held = {Obstacle::HeldOpen, false};  // open without delete sharing
    } else if (error == ERROR_ACCESS_DENIED && OldHeldOrDeletable(old)) {
      held = {Obstacle::HeldOpen, true};
    } else {
      return {Obstacle::Refused, false};  // refused by permission: no try would do better
    }
    if (!retries.Wait(retriesOfThisRename)) return held;
  }
}
