#include "sim/plugin_files.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "sim/engine_stubs.h"
#include "sim/import_patch.h"
#include "sim/protocol.h"
#include "sim/scoped_handle.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct Holder {
  ScopedHandle handle;
  bool untilRenameFails = false;
};

struct FileState {
  std::vector<std::unique_ptr<ImportPatch>> patches;
  std::map<std::wstring, Holder> holders;  // by lower-case file name
  std::vector<std::wstring> deniedNames;
};

FileState& State() {
  static FileState state;
  return state;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

std::wstring FileNameOf(const wchar_t* path) {
  const std::wstring text = path ? path : L"";
  const std::size_t slash = text.find_last_of(L"\\/");
  return slash == std::wstring::npos ? text : text.substr(slash + 1);
}

BOOL Refuse(const char* call, const wchar_t* path, const char* why, DWORD error) {
  Trace("file-refused %s %s %s", call, EscapeText(FileNameOf(path)).c_str(), why);
  SetLastError(error);
  return FALSE;
}

// Windows' MAX_PATH: without the \\?\ form a full path has at most 259 characters.
bool TooLong(const wchar_t* path) {
  if (path == nullptr || std::wstring(path).rfind(L"\\\\?\\", 0) == 0) return false;
  wchar_t full[1024];
  const DWORD length = GetFullPathNameW(path, 1024, full, nullptr);
  return length >= MAX_PATH;
}

bool Denied(const wchar_t* path) {
  if (path == nullptr) return false;
  const std::wstring name = Lower(FileNameOf(path));
  for (const std::wstring& denied : State().deniedNames) {
    if (name.find(denied) != std::wstring::npos) return true;
  }
  return false;
}

HANDLE WINAPI RuledCreateFileW(LPCWSTR path, DWORD access, DWORD share,
                               LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                               HANDLE model) {
  if (TooLong(path)) {
    Refuse("create", path, "too-long", ERROR_FILENAME_EXCED_RANGE);
    return INVALID_HANDLE_VALUE;
  }
  if (Denied(path)) {
    // Creating, or opening to change or delete: what a folder that refuses the player refuses.
    constexpr DWORD Changes = GENERIC_WRITE | GENERIC_ALL | DELETE | FILE_WRITE_DATA |
                              FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA | WRITE_DAC |
                              WRITE_OWNER;
    const bool creates = disposition != OPEN_EXISTING && disposition != TRUNCATE_EXISTING;
    const bool exists = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    if (creates || (exists && (access & Changes) != 0)) {
      Refuse(creates ? "create" : "open", path, "denied", ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
  }
  return CreateFileW(path, access, share, security, disposition, flags, model);
}

// A holder waiting for a failed rename of its file lets go.
void ReleaseHoldersOf(const wchar_t* from, const wchar_t* to) {
  for (auto& [name, holder] : State().holders) {
    if (!holder.handle.Valid() || !holder.untilRenameFails) continue;
    if (name != Lower(FileNameOf(from)) && name != Lower(FileNameOf(to))) continue;
    holder.handle.Close();
    Trace("release %s", EscapeText(name).c_str());
  }
}

BOOL WINAPI RuledMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
  for (const wchar_t* path : {from, to}) {
    if (TooLong(path)) return Refuse("rename", path, "too-long", ERROR_FILENAME_EXCED_RANGE);
  }
  const DWORD target = to ? GetFileAttributesW(to) : INVALID_FILE_ATTRIBUTES;
  BOOL moved = FALSE;
  if (Denied(from) || Denied(to)) {
    Refuse("rename", Denied(from) ? from : to, "denied", ERROR_ACCESS_DENIED);
  } else if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY) != 0) {
    Refuse("rename", to, "read-only", ERROR_ACCESS_DENIED);
  } else {
    moved = MoveFileExW(from, to, flags);
  }
  if (!moved) {
    const DWORD error = GetLastError();
    ReleaseHoldersOf(from, to);
    SetLastError(error);
  }
  return moved;
}

DWORD WINAPI RuledGetFileAttributesW(LPCWSTR path) {
  if (TooLong(path)) {
    Refuse("attributes", path, "too-long", ERROR_FILENAME_EXCED_RANGE);
    return INVALID_FILE_ATTRIBUTES;
  }
  return GetFileAttributesW(path);
}

// Windows takes a vectored handler's entry from the heap, and frees it: never under the lock.
PVOID WINAPI WatchedAddVectoredExceptionHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
  if (FormTableLocked()) ProtocolError("handler-added-under-lock");
  return AddVectoredExceptionHandler(first, handler);
}

ULONG WINAPI WatchedRemoveVectoredExceptionHandler(PVOID handle) {
  if (FormTableLocked()) ProtocolError("handler-removed-under-lock");
  return RemoveVectoredExceptionHandler(handle);
}

// The plugin waits only before a rename's retry: each wait is traced, and none is slept.
void WINAPI TracedSleep(DWORD milliseconds) {
  Trace("sleep %lu", milliseconds);
}

BOOL WINAPI WatchedWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                             LPOVERLAPPED overlapped) {
  if (FormTableLocked()) ProtocolError("file-write-under-lock");
  return WriteFile(file, data, size, written, overlapped);
}

void Patch(HMODULE plugin, const char* function, void* replacement) {
  auto patch = std::make_unique<ImportPatch>(plugin, "kernel32.dll", function, replacement);
  if (!patch->Patched()) {
    std::fprintf(stderr, "sim: the plugin does not import %s from kernel32.dll\n", function);
    std::exit(92);
  }
  State().patches.push_back(std::move(patch));
}

// Letters r, w and d as the three sharing flags, or as the three access rights.
DWORD Flags(const std::string& letters, DWORD read, DWORD write, DWORD remove) {
  DWORD flags = 0;
  if (letters.find('r') != std::string::npos) flags |= read;
  if (letters.find('w') != std::string::npos) flags |= write;
  if (letters.find('d') != std::string::npos) flags |= remove;
  return flags;
}

}  // namespace

void PatchPluginFileCalls(HMODULE plugin) {
  Patch(plugin, "CreateFileW", reinterpret_cast<void*>(&RuledCreateFileW));
  Patch(plugin, "MoveFileExW", reinterpret_cast<void*>(&RuledMoveFileExW));
  Patch(plugin, "GetFileAttributesW", reinterpret_cast<void*>(&RuledGetFileAttributesW));
  Patch(plugin, "WriteFile", reinterpret_cast<void*>(&WatchedWriteFile));
  Patch(plugin, "Sleep", reinterpret_cast<void*>(&TracedSleep));
  Patch(plugin, "AddVectoredExceptionHandler",
        reinterpret_cast<void*>(&WatchedAddVectoredExceptionHandler));
  Patch(plugin, "RemoveVectoredExceptionHandler",
        reinterpret_cast<void*>(&WatchedRemoveVectoredExceptionHandler));
}

void HoldPluginFile(const std::string& name, const std::string& sharing, const std::string& access,
                    bool untilRenameFails) {
  const std::wstring wide(name.begin(), name.end());
  Holder& holder = State().holders[Lower(wide)];
  *holder.handle.Receive() = CreateFileW(
      (L"Data\\VKRX\\Plugins\\" + wide).c_str(), Flags(access, GENERIC_READ, GENERIC_WRITE, DELETE),
      Flags(sharing, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_DELETE), nullptr, OPEN_EXISTING,
      FILE_ATTRIBUTE_NORMAL, nullptr);
  holder.untilRenameFails = untilRenameFails;
  if (holder.handle.Valid()) {
    Trace("hold %s -> held", name.c_str());
  } else {
    Trace("hold %s -> error %lu", name.c_str(), GetLastError());
  }
}

void ReleasePluginFile(const std::string& name) {
  const std::wstring wide(name.begin(), name.end());
  State().holders.erase(Lower(wide));
}

void DenyChanges(const std::wstring& nameContains) {
  State().deniedNames.push_back(Lower(nameContains));
}

}  // namespace sim
