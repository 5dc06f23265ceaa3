#include "tests/support/sim_run.h"

#include <windows.h>

#include <cstdio>

#include "sim/program_files.h"

namespace testing_support {
namespace {

std::string ReadAll(HANDLE pipe) {
  std::string output;
  char buffer[8192];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
    output.append(buffer, got);
  return output;
}

}  // namespace

int SimResult::IndexOf(const std::string& line, int from) const {
  for (int i = from; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i] == line) return i;
  }
  return -1;
}

int SimResult::IndexOfPrefix(const std::string& prefix, int from) const {
  for (int i = from; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i].rfind(prefix, 0) == 0) return i;
  }
  return -1;
}

int SimResult::Count(const std::string& line) const {
  int count = 0;
  for (const auto& each : lines) count += each == line;
  return count;
}

int SimResult::CountPrefix(const std::string& prefix) const {
  int count = 0;
  for (const auto& each : lines) count += each.rfind(prefix, 0) == 0;
  return count;
}

std::vector<std::string> SimResult::Filter(const std::vector<std::string>& prefixes) const {
  std::vector<std::string> kept;
  for (const auto& line : lines) {
    for (const auto& prefix : prefixes) {
      if (line.rfind(prefix, 0) == 0) {
        kept.push_back(line);
        break;
      }
    }
  }
  return kept;
}

std::string SimResult::All() const {
  std::string all = "exit code " + std::to_string(exitCode) + "\n";
  for (const auto& line : lines) all += "  " + line + "\n";
  return all;
}

SimResult SimScenario::Run(const std::string& script) {
  const std::wstring scriptPath = folder_.Path() + L"\\scenario.txt";
  if (FILE* file = _wfopen(scriptPath.c_str(), L"wb")) {
    std::fwrite(script.data(), 1, script.size(), file);
    std::fclose(file);
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  const std::wstring simulator = sim::BesideThisProgram(L"kelvarion_sim.exe");
  std::wstring command = L"\"" + simulator + L"\" --script scenario.txt";
  PROCESS_INFORMATION process{};
  SimResult result;
  if (!CreateProcessW(simulator.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder_.Path().c_str(), &startup, &process)) {
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    result.exitCode = 0xFFFFFFFF;
    result.lines.push_back("test: cannot start the simulator");
    return result;
  }
  CloseHandle(writeEnd);
  const std::string output = ReadAll(readEnd);
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  result.exitCode = exitCode;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.lines.push_back(line);
    start = end + 1;
  }
  return result;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

std::string BoxLine(char kind, const std::string& text) {
  return std::string("box-") + kind + " owner=0 style=0 caption=" + kCaption +
         " text=" + Escaped(text);
}

}  // namespace testing_support
