#include "sim/plugin_imports.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/import_patch.h"
#include "sim/loader.h"
#include "sim/plugin_files.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace sim {
namespace {

struct ImportState {
  std::vector<std::unique_ptr<ImportPatch>> patches;
  unsigned boxesShown = 0;
  std::map<unsigned, std::vector<std::function<void()>>> boxActions;
  std::function<void()> afterSettingsWrite;
  std::uint64_t mallocCalls = 0, failFrom = 0, failUntil = 0;
  std::uint64_t freeCalls = 0;
  std::size_t failSizeFrom = 0, failSizeUntil = 0;
  std::uint64_t failSizeCount = 0, failSizePasses = 0;
};

ImportState& State() {
  static ImportState state;
  return state;
}

void NarrateBox(const std::string& caption, const std::string& text) {
  if (!Options().narrate) return;
  std::printf("\n  +-- %s\n", caption.c_str());
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::printf("  | %s\n", text.substr(start, end - start).c_str());
    start = end + 1;
  }
  std::printf("  +-- [ OK ]\n\n");
}

std::string Narrow(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

void AfterBox() {
  const unsigned number = ++State().boxesShown;
  const auto actions = State().boxActions.find(number);
  if (actions != State().boxActions.end()) {
    for (const auto& action : actions->second) action();
  }
  Trace("box-closed %u", number);
}

int WINAPI RecordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  Trace("box-a owner=%d style=%u caption=%s text=%s", owner != nullptr, style,
        EscapeText(caption ? caption : "(null)").c_str(),
        EscapeText(text ? text : "(null)").c_str());
  NarrateBox(caption ? caption : "", text ? text : "");
  if (Options().showRealBoxes) MessageBoxA(owner, text, caption, style);
  AfterBox();
  return IDOK;
}

int WINAPI RecordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  Trace("box-w owner=%d style=%u caption=%s text=%s", owner != nullptr, style,
        EscapeText(caption ? caption : L"(null)").c_str(),
        EscapeText(text ? text : L"(null)").c_str());
  NarrateBox(Narrow(caption ? caption : L""), Narrow(text ? text : L""));
  if (Options().showRealBoxes) MessageBoxW(owner, text, caption, style);
  AfterBox();
  return IDOK;
}

BOOL WINAPI RecordTerminateProcess(HANDLE process, UINT exitCode) {
  const bool self =
      process == GetCurrentProcess() || GetProcessId(process) == GetCurrentProcessId();
  Trace("terminate self=%d code=%u", self, exitCode);
  FlushTrace();
  if (Options().exitOnTerminate) TerminateProcess(process, exitCode);
  return TRUE;
}

HMODULE WINAPI RecordGetModuleHandleW(LPCWSTR name) {
  Trace("module-handle-w name=%s", name ? "given" : "null");
  if (name == nullptr && Options().moduleHandleNull) return nullptr;
  return GetModuleHandleW(name);
}

BOOL WINAPI RecordWritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value,
                                             LPCWSTR path) {
  const BOOL written = WritePrivateProfileStringW(section, key, value, path);
  Trace("settings-write [%s] %s=%s", EscapeText(std::wstring(section ? section : L"")).c_str(),
        EscapeText(std::wstring(key ? key : L"")).c_str(),
        EscapeText(std::wstring(value ? value : L"")).c_str());
  if (State().afterSettingsWrite) State().afterSettingsWrite();
  return written;
}

void WINAPI FixedGetLocalTime(SYSTEMTIME* time) {
  *time = {2031, 4, 0, 27, 13, 45, 9, 0};  // a Sunday
}

BOOL WINAPI VirtualQueryPerformanceCounter(LARGE_INTEGER* counter) {
  counter->QuadPart = PerformanceCounterTicks();
  return TRUE;
}

BOOL WINAPI VirtualQueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = PerformanceCounterFrequency();
  return TRUE;
}

bool Refused(std::uint64_t call, std::size_t bytes) {
  ImportState& state = State();
  if (call >= state.failFrom && call < state.failUntil) return true;
  if (state.failSizeCount > 0 && bytes >= state.failSizeFrom && bytes < state.failSizeUntil) {
    if (state.failSizePasses > 0) {
      --state.failSizePasses;
      return false;
    }
    --state.failSizeCount;
    return true;
  }
  return false;
}

// Every allocation the plugin can make counts, and any may be refused: malloc (operator new
// among others), calloc and realloc (the C++ runtime's per-thread state, its start-up).
bool RefuseAllocation(const char* function, std::size_t bytes) {
  const std::uint64_t call = ++State().mallocCalls;
  if (!Refused(call, bytes)) return false;
  Trace("malloc-refused %llu %s %llu", static_cast<unsigned long long>(call), function,
        static_cast<unsigned long long>(bytes));
  return true;
}

void* CountingMalloc(std::size_t bytes) {
  return RefuseAllocation("malloc", bytes) ? nullptr : std::malloc(bytes);
}

void* CountingCalloc(std::size_t count, std::size_t size) {
  return RefuseAllocation("calloc", count * size) ? nullptr : std::calloc(count, size);
}

void* CountingRealloc(void* block, std::size_t bytes) {
  return RefuseAllocation("realloc", bytes) ? nullptr : std::realloc(block, bytes);
}

void CountingFree(void* block) {
  ++State().freeCalls;
  std::free(block);
}

void Patch(HMODULE plugin, const char* dll, const char* function, void* replacement) {
  auto patch = std::make_unique<ImportPatch>(plugin, dll, function, replacement);
  if (!patch->Patched()) {
    std::fprintf(stderr, "sim: the plugin does not import %s from %s\n", function, dll);
    std::exit(92);
  }
  State().patches.push_back(std::move(patch));
}

}  // namespace

void PatchPluginImports(HMODULE plugin) {
  Patch(plugin, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordMessageBoxA));
  Patch(plugin, "user32.dll", "MessageBoxW", reinterpret_cast<void*>(&RecordMessageBoxW));
  Patch(plugin, "kernel32.dll", "TerminateProcess",
        reinterpret_cast<void*>(&RecordTerminateProcess));
  Patch(plugin, "kernel32.dll", "GetModuleHandleW",
        reinterpret_cast<void*>(&RecordGetModuleHandleW));
  Patch(plugin, "kernel32.dll", "WritePrivateProfileStringW",
        reinterpret_cast<void*>(&RecordWritePrivateProfileStringW));
  PatchPluginFileCalls(plugin);
  Patch(plugin, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&CountingMalloc));
  Patch(plugin, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&CountingCalloc));
  Patch(plugin, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&CountingRealloc));
  Patch(plugin, "msvcrt.dll", "free", reinterpret_cast<void*>(&CountingFree));
  if (Options().fixedLocalTime) {
    Patch(plugin, "kernel32.dll", "GetLocalTime", reinterpret_cast<void*>(&FixedGetLocalTime));
  }
  if (Options().virtualClock) {
    Patch(plugin, "kernel32.dll", "QueryPerformanceCounter",
          reinterpret_cast<void*>(&VirtualQueryPerformanceCounter));
    Patch(plugin, "kernel32.dll", "QueryPerformanceFrequency",
          reinterpret_cast<void*>(&VirtualQueryPerformanceFrequency));
  }
}

void WhileBoxOpen(unsigned boxNumber, std::function<void()> action) {
  State().boxActions[boxNumber].push_back(std::move(action));
}

void AfterSettingsWrite(std::function<void()> action) {
  State().afterSettingsWrite = std::move(action);
}

void FailMallocs(std::uint64_t nth, std::uint64_t count) {
  State().failFrom = State().mallocCalls + nth;
  State().failUntil = State().failFrom + count;
}

void FailMallocsOfSize(std::size_t from, std::size_t until, std::uint64_t count,
                       std::uint64_t after) {
  State().failSizeFrom = from;
  State().failSizeUntil = until;
  State().failSizeCount = count;
  State().failSizePasses = after;
}

std::uint64_t MallocCalls() {
  return State().mallocCalls;
}

std::uint64_t FreeCalls() {
  return State().freeCalls;
}

}  // namespace sim
