// The plugin's Windows calls that a test cannot let through: message boxes (modal, and no
// display), TerminateProcess (it would end the test) and the performance counter (time passes
// when the game side says so). Each is intercepted in the plugin's own import table; the plugin
// keeps calling Windows directly.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "glue/files.h"
#include "glue/game_folder.h"
#include "seam.h"
#include "sim/import_patch.h"

namespace msvc_host {
namespace {

struct BoxRecord {
  std::string caption;
  std::string text;
  std::string settings;
  GlueBox view;
};

std::deque<BoxRecord> boxes;
std::deque<GlueTermination> terminations;
std::vector<std::unique_ptr<ImportPatch>> patches;

// 10 MHz, as on most Windows machines; the clock starts an hour after an arbitrary origin.
constexpr LONGLONG TicksPerSecond = 10'000'000;
constexpr LONGLONG NanosecondsPerTick = 1'000'000'000 / TicksPerSecond;
LONGLONG clockTicks = 3600 * TicksPerSecond;

std::string Utf8(const wchar_t* text) {
  if (text == nullptr) return "(null)";
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

void RecordBox(bool wide, HWND owner, std::string text, std::string caption, UINT style) {
  BoxRecord& box = boxes.emplace_back();
  box.caption = std::move(caption);
  box.text = std::move(text);
  box.settings = SettingsNow();
  box.view = {wide ? 1 : 0,        owner == nullptr ? 1 : 0, style,
              box.caption.c_str(), box.text.c_str(),         box.settings.c_str()};
}

int WINAPI InterceptMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  RecordBox(false, owner, text != nullptr ? text : "(null)",
            caption != nullptr ? caption : "(null)", style);
  return IDOK;
}

int WINAPI InterceptMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  RecordBox(true, owner, Utf8(text), Utf8(caption), style);
  return IDOK;
}

BOOL WINAPI InterceptTerminateProcess(HANDLE process, UINT exitCode) {
  terminations.push_back(
      {process == GetCurrentProcess() ? 1 : 0, exitCode, static_cast<uint32_t>(boxes.size())});
  return TRUE;
}

BOOL WINAPI VirtualPerformanceCounter(LARGE_INTEGER* counter) {
  counter->QuadPart = clockTicks;
  return TRUE;
}

BOOL WINAPI VirtualPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = TicksPerSecond;
  return TRUE;
}

bool Intercept(HMODULE module, const char* dll, const char* function, void* replacement) {
  patches.push_back(std::make_unique<ImportPatch>(module, dll, function, replacement));
  if (patches.back()->Patched()) return true;
  std::fprintf(stderr, "msvc_host: the plugin does not import %s from %s\n", function, dll);
  return false;
}

}  // namespace
}  // namespace msvc_host

using namespace msvc_host;

extern "C" void* GlueProgramBase() {
  return GetModuleHandleW(nullptr);
}

extern "C" void GlueMakeExecutable(void* address, uint64_t bytes) {
  DWORD previous = 0;
  RequireWindows(VirtualProtect(address, bytes, PAGE_EXECUTE_READWRITE, &previous) != 0,
                 "VirtualProtect of the host image");
  FlushInstructionCache(GetCurrentProcess(), address, bytes);
}

extern "C" void* GlueLoadPlugin(const char* fileName) {
  const std::wstring name(fileName, fileName + std::strlen(fileName));
  HMODULE plugin = LoadLibraryW(BesideThisProgram(name).c_str());
  if (plugin == nullptr) {
    std::fprintf(stderr, "msvc_host: LoadLibraryW of %s failed (%lu)\n", fileName, GetLastError());
    return nullptr;
  }
  bool all = Intercept(plugin, "user32.dll", "MessageBoxA",
                       reinterpret_cast<void*>(&InterceptMessageBoxA));
  all &= Intercept(plugin, "user32.dll", "MessageBoxW",
                   reinterpret_cast<void*>(&InterceptMessageBoxW));
  all &= Intercept(plugin, "kernel32.dll", "TerminateProcess",
                   reinterpret_cast<void*>(&InterceptTerminateProcess));
  all &= Intercept(plugin, "kernel32.dll", "QueryPerformanceCounter",
                   reinterpret_cast<void*>(&VirtualPerformanceCounter));
  all &= Intercept(plugin, "kernel32.dll", "QueryPerformanceFrequency",
                   reinterpret_cast<void*>(&VirtualPerformanceFrequency));
  return all ? plugin : nullptr;
}

extern "C" void GlueAdvanceClock(int64_t nanoseconds) {
  clockTicks += nanoseconds / NanosecondsPerTick;
}

extern "C" uint32_t GlueBoxCount() {
  return static_cast<uint32_t>(boxes.size());
}

extern "C" const GlueBox* GlueBoxAt(uint32_t index) {
  return index < boxes.size() ? &boxes[index].view : nullptr;
}

extern "C" uint32_t GlueTerminationCount() {
  return static_cast<uint32_t>(terminations.size());
}

extern "C" const GlueTermination* GlueTerminationAt(uint32_t index) {
  return index < terminations.size() ? &terminations[index] : nullptr;
}
