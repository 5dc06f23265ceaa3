#include "tests/support/sim_run.h"

#include <windows.h>

#include <optional>

#include "sim/checked.h"
#include "sim/program_files.h"
#include "sim/scoped_handle.h"

namespace testing_support {
namespace {

constexpr unsigned long NeverStarted = 0xFFFFFFFF;

std::string ReadAll(HANDLE pipe) {
  std::string output;
  char buffer[8192];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
    output.append(buffer, got);
  return output;
}

std::vector<std::string> SplitLines(const std::string& output) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Starts the simulator on the scenario in `folder`; nothing when the process cannot start.
std::optional<SimResult> RunSimulatorOnce(const std::wstring& folder) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  sim::ScopedHandle readEnd, writeEnd;
  sim::Require(CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0) != 0,
               "CreatePipe for the simulator's output");
  sim::Require(SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0) != 0,
               "SetHandleInformation on the pipe");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  const std::wstring simulator = sim::BesideThisProgram(L"kelvarion_sim.exe");
  std::wstring command = L"\"" + simulator + L"\" --script scenario.txt";
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(simulator.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &started)) {
    return std::nullopt;
  }
  const sim::ScopedHandle process(started.hProcess), thread(started.hThread);
  writeEnd.Close();  // the child holds its own copy: the pipe ends when the child ends
  SimResult result;
  result.lines = SplitLines(ReadAll(readEnd.Get()));
  sim::Require(WaitForSingleObject(process.Get(), INFINITE) == WAIT_OBJECT_0,
               "waiting for the simulator");
  DWORD exitCode = 0;
  sim::Require(GetExitCodeProcess(process.Get(), &exitCode) != 0, "GetExitCodeProcess");
  result.exitCode = exitCode;
  return result;
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
  sim::WriteWholeFile(folder_.Path() + L"\\scenario.txt", script);
  if (auto result = RunSimulatorOnce(folder_.Path())) return *result;
  // Not retried: a start that fails without a known cause must show.
  SimResult failed;
  failed.exitCode = NeverStarted;
  failed.lines.push_back("test: cannot start the simulator (Windows error " +
                         std::to_string(GetLastError()) + ")");
  return failed;
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
  return std::string("box-") + kind + " owner=0 style=0 caption=" + Caption +
         " text=" + Escaped(text);
}

std::string ShippedSettings() {
  return sim::ReadWholeFile(sim::BesideThisProgram(L"shipped-settings.ini")).value_or("");
}

}  // namespace testing_support
