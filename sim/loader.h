// The simulated VKRX loader: loads the plugin DLL, patches its imports, and hands it a loader
// interface and messages that record every call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace sim {

struct LoaderOptions {
  bool showRealBoxes = false;         // call the real MessageBox after recording it
  bool exitOnTerminate = false;       // let TerminateProcess really end the process
  bool moduleHandleNull = false;      // GetModuleHandleW(nullptr) answers null
  bool lookupServiceMissing = false;  // the loader interface has no LookupService
  bool messagingMissing = false;      // LookupService(1) answers null
  bool listenerSlotMissing = false;   // the messaging record has no AddMessageListener
  bool virtualClock = true;           // the plugin's steady clock reads the simulator's clock
  bool fixedLocalTime = false;        // GetLocalTime answers 2031-04-27 13:45:09
  bool narrate = false;               // print each box as a player would see it
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

// Prints the export directory, the version record, the version resource and the imports.
void InspectPlugin(const std::wstring& path);

}  // namespace sim
