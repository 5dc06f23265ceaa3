#include "glue/files.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace msvc_host {

void RequireWindows(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "msvc_host: %s failed (error %lu)\n", what, GetLastError());
  std::exit(94);
}

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  RequireWindows(length > 0 && length < MAX_PATH, "GetModuleFileNameW");
  return std::wstring(path, length);
}

std::wstring BesideThisProgram(const std::wstring& fileName) {
  const std::wstring program = ThisProgram();
  return program.substr(0, program.find_last_of(L"\\/") + 1) + fileName;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    bytes.append(buffer, got);
  }
  std::fclose(file);
  return bytes;
}

}  // namespace msvc_host
