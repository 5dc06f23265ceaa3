#include "sim/program_files.h"

#include <windows.h>

#include <cstdio>

#include "sim/checked.h"
#include "sim/scoped_handle.h"

namespace sim {

std::wstring BesideThisProgram(const wchar_t* fileName) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  Require(length > 0 && length < MAX_PATH, "GetModuleFileNameW");
  const std::wstring program(path, length);
  return program.substr(0, program.find_last_of(L"\\/") + 1) + fileName;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  return ReadFileFrom(path, 0);
}

std::optional<std::string> ReadFileFrom(const std::wstring& path, std::uint64_t offset) {
  ScopedFile file(_wfopen(path.c_str(), L"rb"));
  if (!file || _fseeki64(file.Get(), static_cast<long long>(offset), SEEK_SET) != 0) {
    return std::nullopt;
  }
  std::string bytes;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0;) {
    bytes.append(buffer, got);
  }
  return bytes;
}

}  // namespace sim
