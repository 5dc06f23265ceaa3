#include <windows.h>

// Runs under the loader lock: it does nothing, and all work begins in VKRXPlugin_Load.
extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) {
  return TRUE;
}
