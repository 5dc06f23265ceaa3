#include "sim/loader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "sim/import_patch.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct LoaderInterfaceRecord {
  unsigned char unused[0x10];
  void* (*lookupService)(std::uint32_t);
  std::uint32_t (*acquirePluginHandle)();
};

using Listener = void (*)(void* message);

struct MessagingRecord {
  void* unused;
  bool (*addMessageListener)(std::uint32_t, const char*, Listener);
};

struct LoaderState {
  HMODULE plugin = nullptr;
  std::vector<std::unique_ptr<ImportPatch>> patches;
  std::vector<Listener> listeners;
  std::int64_t clockNs = 0;
  unsigned boxesShown = 0;
  std::map<unsigned, std::function<void()>> boxActions;
  std::uint64_t mallocCalls = 0, failFrom = 0, failUntil = 0;
  void* (*realMalloc)(std::size_t) = nullptr;
  int(WINAPI* realMessageBoxA)(HWND, LPCSTR, LPCSTR, UINT) = nullptr;
  int(WINAPI* realMessageBoxW)(HWND, LPCWSTR, LPCWSTR, UINT) = nullptr;
};

LoaderState& State() {
  static LoaderState state;
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
  const auto action = State().boxActions.find(number);
  if (action != State().boxActions.end()) action->second();
  Trace("box-closed %u", number);
}

int WINAPI RecordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  Trace("box-a owner=%d style=%u caption=%s text=%s", owner != nullptr, style,
        EscapeText(caption ? caption : "(null)").c_str(),
        EscapeText(text ? text : "(null)").c_str());
  NarrateBox(caption ? caption : "", text ? text : "");
  if (Options().showRealBoxes) State().realMessageBoxA(owner, text, caption, style);
  AfterBox();
  return IDOK;
}

int WINAPI RecordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  Trace("box-w owner=%d style=%u caption=%s text=%s", owner != nullptr, style,
        EscapeText(caption ? caption : L"(null)").c_str(),
        EscapeText(text ? text : L"(null)").c_str());
  NarrateBox(Narrow(caption ? caption : L""), Narrow(text ? text : L""));
  if (Options().showRealBoxes) State().realMessageBoxW(owner, text, caption, style);
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

BOOL WINAPI VirtualQueryPerformanceCounter(LARGE_INTEGER* counter) {
  counter->QuadPart = State().clockNs;
  return TRUE;
}

BOOL WINAPI VirtualQueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = 1'000'000'000;
  return TRUE;
}

void* CountingMalloc(std::size_t bytes) {
  const std::uint64_t call = ++State().mallocCalls;
  if (call >= State().failFrom && call < State().failUntil) {
    Trace("malloc-refused %llu", static_cast<unsigned long long>(call));
    return nullptr;
  }
  return State().realMalloc(bytes);
}

void Patch(const char* dll, const char* function, void* replacement) {
  auto patch = std::make_unique<ImportPatch>(State().plugin, dll, function, replacement);
  if (!patch->Patched()) {
    std::fprintf(stderr, "sim: the plugin does not import %s from %s\n", function, dll);
    std::exit(92);
  }
  State().patches.push_back(std::move(patch));
}

bool AddMessageListener(std::uint32_t handle, const char* sender, Listener listener) {
  Trace("add-listener handle=%u sender=%s listener=%d", handle, sender ? sender : "(null)",
        listener != nullptr);
  State().listeners.push_back(listener);
  return true;
}

void* LookupService(std::uint32_t serviceId) {
  static MessagingRecord messaging{};
  Trace("lookup-service %u", serviceId);
  if (Options().messagingMissing || serviceId != 1) return nullptr;
  messaging.addMessageListener = Options().listenerSlotMissing ? nullptr : &AddMessageListener;
  return &messaging;
}

std::uint32_t AcquirePluginHandle() {
  Trace("acquire-handle -> 7");
  return 7;
}

}  // namespace

LoaderOptions& Options() {
  static LoaderOptions options;
  return options;
}

bool LoadPluginLibrary(const std::wstring& path) {
  State().plugin = LoadLibraryW(path.c_str());
  if (State().plugin == nullptr) {
    std::fprintf(stderr, "sim: cannot load %ls (error %lu)\n", path.c_str(), GetLastError());
    return false;
  }
  State().realMalloc = &std::malloc;
  State().realMessageBoxA = &MessageBoxA;
  State().realMessageBoxW = &MessageBoxW;
  Patch("user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordMessageBoxA));
  Patch("user32.dll", "MessageBoxW", reinterpret_cast<void*>(&RecordMessageBoxW));
  Patch("kernel32.dll", "TerminateProcess", reinterpret_cast<void*>(&RecordTerminateProcess));
  Patch("kernel32.dll", "GetModuleHandleW", reinterpret_cast<void*>(&RecordGetModuleHandleW));
  Patch("msvcrt.dll", "malloc", reinterpret_cast<void*>(&CountingMalloc));
  if (Options().virtualClock) {
    Patch("kernel32.dll", "QueryPerformanceCounter",
          reinterpret_cast<void*>(&VirtualQueryPerformanceCounter));
    Patch("kernel32.dll", "QueryPerformanceFrequency",
          reinterpret_cast<void*>(&VirtualQueryPerformanceFrequency));
  }
  return true;
}

HMODULE PluginModule() {
  return State().plugin;
}

bool CallPluginLoad() {
  using LoadFn = bool (*)(const LoaderInterfaceRecord*);
  static LoaderInterfaceRecord loader{{}, &LookupService, &AcquirePluginHandle};
  const auto load = reinterpret_cast<LoadFn>(
      reinterpret_cast<void*>(GetProcAddress(State().plugin, "VKRXPlugin_Load")));
  if (load == nullptr) {
    Trace("error no-load-export 00000000");
    return false;
  }
  const bool result = load(&loader);
  Trace("load -> %d", result);
  return result;
}

void SendLoaderMessage(std::uint32_t type) {
  struct {
    std::uint64_t sender;
    std::uint32_t type;
    std::uint32_t dataLength;
    void* data;
  } message{0x5858, type, 0, nullptr};
  Trace("message %u", type);
  for (Listener listener : State().listeners) listener(&message);
}

void SendNullLoaderMessage() {
  Trace("message null");
  for (Listener listener : State().listeners) listener(nullptr);
}

void SetVirtualClockNs(std::int64_t ns) {
  State().clockNs = ns;
}

void WhileBoxOpen(unsigned boxNumber, std::function<void()> action) {
  State().boxActions[boxNumber] = std::move(action);
}

void FailMallocs(std::uint64_t nth, std::uint64_t count) {
  State().failFrom = State().mallocCalls + nth;
  State().failUntil = State().failFrom + count;
}

std::uint64_t MallocCalls() {
  return State().mallocCalls;
}

}  // namespace sim
