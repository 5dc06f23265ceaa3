// The simulated VKRX loader: loads the plugin DLL, watches its Windows calls through its
// import table, and hands it a loader interface that records every call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace sim {

struct LoaderOptions {
  bool showRealBoxes = false;        // call the real MessageBox after recording it
  bool exitOnTerminate = false;      // let TerminateProcess really end the process
  bool moduleHandleNull = false;     // GetModuleHandleW(nullptr) answers null
  bool messagingMissing = false;     // LookupService(1) answers null
  bool listenerSlotMissing = false;  // the messaging record has no AddMessageListener
  bool virtualClock = true;          // the plugin's steady clock reads the simulator's clock
  bool narrate = false;              // print each box as a player would see it
};

LoaderOptions& Options();

// Loads the DLL and patches its imports. False (with a message on stderr) on failure.
bool LoadPluginLibrary(const std::wstring& path);
HMODULE PluginModule();

// Calls VKRXPlugin_Load with the recording loader interface; returns its result.
bool CallPluginLoad();
// Delivers one loader message (or a null pointer) to every registered listener.
void SendLoaderMessage(std::uint32_t type);
void SendNullLoaderMessage();

void SetVirtualClockNs(std::int64_t ns);

// Runs `action` while the Nth message box (1-based, counting all boxes) is open.
void WhileBoxOpen(unsigned boxNumber, std::function<void()> action);

// malloc in the plugin fails for `count` calls, starting with the `nth` call from now.
void FailMallocs(std::uint64_t nth, std::uint64_t count);
std::uint64_t MallocCalls();

// Prints the export directory, the version record and the version resource.
void InspectPlugin(const std::wstring& path);

}  // namespace sim
