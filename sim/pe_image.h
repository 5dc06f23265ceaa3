// Walking a loaded module's PE headers: its NT headers and its data directories.
#pragma once

#include <windows.h>

namespace sim {

inline const IMAGE_NT_HEADERS64* NtHeaders(HMODULE module) {
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
}

// The data directory `index` (IMAGE_DIRECTORY_ENTRY_...) as a T, or null when it is empty.
template <class T>
T* DataDirectory(HMODULE module, int index) {
  const IMAGE_DATA_DIRECTORY& directory = NtHeaders(module)->OptionalHeader.DataDirectory[index];
  if (directory.VirtualAddress == 0) return nullptr;
  return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(module) + directory.VirtualAddress);
}

// The module's bytes at a relative virtual address.
template <class T>
T* AtRva(HMODULE module, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(module) + rva);
}

}  // namespace sim
