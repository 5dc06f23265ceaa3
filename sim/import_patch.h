// Replaces one entry of a module's import address table for as long as the object lives,
// then puts the original back: how the simulator and the tests see the Windows calls the
// plugin makes, while the plugin itself keeps calling Windows directly.
#pragma once

#include <windows.h>

class ImportPatch {
 public:
  // Patches `function` as imported by `module` from `dll` (case-insensitive name).
  ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Patched() const { return slot_ != nullptr; }
  void* Original() const { return original_; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};
