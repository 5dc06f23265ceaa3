// Each scenario is a start of the game, so each runs in a process of its own: this program
// again, with "--scenario <name>". Their lines are relayed as they come and counted here.
#include <windows.h>

#include <cstdio>
#include <string>

#include "glue/files.h"
#include "glue/glue.h"
#include "seam.h"

namespace msvc_host {
namespace {

// A scenario that has not ended by then is stuck (a message box nobody intercepted, say).
constexpr DWORD ScenarioTimeoutMs = 120'000;

struct Tally {
  unsigned passed = 0;
  unsigned failed = 0;
};

std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// Relays one line of the scenario's output and counts it; true for its end line.
bool Relay(const std::string& line, const std::string& endLinePrefix, Tally& tally) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  if (line.rfind("ok   ", 0) == 0) ++tally.passed;
  if (line.rfind("FAIL ", 0) == 0) ++tally.failed;
  return line.rfind(endLinePrefix, 0) == 0;
}

void RunScenario(const std::string& scenario, Tally& tally) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  RequireWindows(CreatePipe(&readEnd, &writeEnd, &inheritable, 0) != 0, "CreatePipe");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring commandLine = L"\"" + ThisProgram() + L"\" --scenario \"" + Widen(scenario) + L"\"";
  PROCESS_INFORMATION process{};
  RequireWindows(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &process) != 0,
                 "CreateProcessW of a scenario process");
  CloseHandle(writeEnd);

  const std::string endLinePrefix = "end of " + scenario + ": ";
  const unsigned failedBefore = tally.failed;
  bool ended = false;
  std::string pending;
  const auto relayComplete = [&] {
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ended |= Relay(line, endLinePrefix, tally);
    }
  };
  // Polled, so that a stuck scenario cannot hold the run beyond its time.
  const ULONGLONG deadline = GetTickCount64() + ScenarioTimeoutMs;
  bool timedOut = false;
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) break;  // closed
    if (available == 0) {
      if (GetTickCount64() > deadline) {
        timedOut = true;
        TerminateProcess(process.hProcess, 4);
        break;
      }
      WaitForSingleObject(process.hProcess, 10);
      continue;
    }
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
    pending.append(buffer, got);
    relayComplete();
  }
  if (!pending.empty()) {
    pending += '\n';
    relayComplete();
  }
  CloseHandle(readEnd);

  DWORD exitCode = 0;
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (timedOut) {
    std::printf("FAIL %s: the scenario process did not end within %lu s\n", scenario.c_str(),
                ScenarioTimeoutMs / 1000);
    ++tally.failed;
    return;
  }
  if (!ended || (exitCode != 0) != (tally.failed != failedBefore)) {
    std::printf("FAIL %s: the scenario process ended with exit code %lu%s\n", scenario.c_str(),
                exitCode, ended ? "" : " and without its closing line");
    ++tally.failed;
  }
}

}  // namespace

int RunEveryScenario() {
  Tally tally;
  for (uint32_t i = 0; i < GameScenarioCount(); ++i) RunScenario(GameScenarioName(i), tally);
  std::printf("%u passed, %u failed\n", tally.passed, tally.failed);
  std::fflush(stdout);
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace msvc_host
