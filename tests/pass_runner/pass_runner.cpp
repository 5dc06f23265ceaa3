// The lean pass runner: table after table through the product's cleaning pass, linked in and
// called directly, in the simulated engine; the erase calls of each pass are compared with
// the model of tests/random_tables. No GoogleTest, so that this program's image keeps the
// simulator's host image where the game's offsets need it.
//   pass_runner.exe [--first-seed S] [--tables N] [--processes P]
// More tables than one process may take (their FormIds share one 24-bit space, and the
// erased record only grows) are split over child processes, two at a time, each one part
// (--part K). A soak takes its table count from KSC_SOAK_TABLES when --tables is not given.
// Ends with its summary line, "tables=..." or, split, "all: tables=..." after each part's
// "part K: tables=...": the closing line cmake/wine-run.sh looks for. Exit code 1 on a
// mismatch.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cleaner/cleaning_pass.h"
#include "cleaner/run_records.h"
#include "report/report.h"
#include "settings/settings.h"
#include "sim/checked.h"
#include "sim/engine_data.h"
#include "sim/engine_stubs.h"
#include "sim/forms.h"
#include "sim/program_files.h"
#include "sim/protocol.h"
#include "sim/scenario.h"
#include "sim/scoped_handle.h"
#include "sim/scratch_folder.h"
#include "sim/stack_pattern.h"
#include "sim/trace.h"
#include "sim/world.h"
#include "tests/random_tables/random_tables.h"
#include "tests/support/report_reader.h"

namespace {

using random_tables::Table;
using random_tables::TableChange;

// FormIds of one process's tables stay below 0x00800000 (the model's mismatched keys lie
// above it).
constexpr unsigned MaxTablesPerProcess = 20000;
constexpr std::uint32_t FirstIdBase = 0x1000;

struct Options {
  unsigned firstSeed = 1;
  unsigned tables = 10000;
  unsigned processes = 0;  // 0: as many as the table count needs
  unsigned part = 0;       // 1 and on in the child processes of a split run
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string joined;
  for (const auto& line : lines) joined += "    " + line + "\n";
  return joined.empty() ? "    (none)\n" : joined;
}

// The table and pass under way, for a crash report.
unsigned currentSeed = 0;
int currentPass = 0;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  std::printf(
      "CRASH seed %u pass %d: exception %08lX\n  reproduce: pass_runner --first-seed %u "
      "--tables 1\n",
      currentSeed, currentPass, info->ExceptionRecord->ExceptionCode, currentSeed);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

void Report(unsigned seed, int pass, const std::string& what, const std::string& detail) {
  std::printf(
      "MISMATCH seed %u pass %d: %s\n%s"
      "  reproduce: pass_runner --first-seed %u --tables 1, or KSC_SEED=%u with "
      "RandomizedPasses.ErasureSequencesMatchTheModel\n",
      seed, pass, what.c_str(), detail.c_str(), seed, seed);
  std::fflush(stdout);
}

void Require(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "pass_runner: %s\n", what.c_str());
  std::exit(2);
}

// The report's figures for one pass against the model's counts; empty when they agree.
std::string CompareReport(const report_reader::Report& report,
                          const random_tables::PassCounts& counts) {
  if (report.passes.size() != 1) return "  the report has no pass section\n";
  return report_reader::Differences(
      report.passes[0], {counts.slots, counts.inUse, counts.restarts, counts.examined,
                         counts.skipped, counts.unreadable, counts.keptBUnreadable, counts.erased,
                         counts.kept, counts.erasedOutposts, counts.eraseOutposts});
}

// Runs one table's two passes; true when both match the model.
// `reportRead`: how much of the report has been read; each pass's section is read alone.
bool RunTable(unsigned seed, std::uint32_t idBase, const std::wstring& reportFile,
              std::uint64_t& reportRead, std::uint64_t& erasedTotal) {
  const Table table = random_tables::MakeTable(seed, idBase);
  const random_tables::ModelResult model = random_tables::Model(table);
  sim::ReleaseGameData();
  sim::World world;
  std::string error;
  Require(sim::BuildWorld(world, random_tables::WorldBeforeFirstLoad(table), error), error);

  const std::uint64_t erasuresBefore = sim::Counters().erasures;
  const TableChange change = table.change;
  sim::SetEraseHook([change, erasuresBefore](std::uint64_t number) {
    if (change.kind == TableChange::Kind::None || number - erasuresBefore != change.atErasure)
      return;
    if (change.kind == TableChange::Kind::Move) {
      sim::MoveSlotArray();
    } else {
      sim::ShrinkSlotCount(change.shrinkBy);
    }
  });
  bEraseOutposts = table.eraseOutposts;

  bool matched = true;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) {
      Require(sim::BuildWorld(world, random_tables::WorldAddedForSecondLoad(table), error), error);
    }
    Require(world.Commit(error), error);
    std::vector<sim::EraseCall> calls;
    sim::RecordEraseCallsInto(&calls);
    const sim::EngineCounters before = sim::Counters();
    currentSeed = seed;
    currentPass = pass + 1;
    sim::FillStackBelowWithPattern();
    const bool succeeded = RunCleaningPass();
    sim::RecordEraseCallsInto(nullptr);
    const sim::EngineCounters& after = sim::Counters();

    const auto erasures = random_tables::ErasuresOf(calls);
    erasedTotal += erasures.size();
    if (!succeeded) {
      Report(seed, pass + 1, "the pass failed", "");
      matched = false;
    } else if (erasures != model.erasures[pass]) {
      Report(seed, pass + 1, "erase calls differ from the model",
             "  expected:\n" + Joined(model.erasures[pass]) + "  made:\n" + Joined(erasures));
      matched = false;
    }
    if (after.locks - before.locks != 1 || after.unlocks - before.unlocks != 1) {
      Report(seed, pass + 1, "the lock was not taken and released once", "");
      matched = false;
    }
    if (after.protocolErrors != before.protocolErrors) {
      Report(seed, pass + 1, "the engine saw protocol errors", "");
      matched = false;
    }
    const std::string section = sim::ReadFileFrom(reportFile, reportRead).value_or("");
    reportRead += section.size();
    const std::string differences =
        CompareReport(report_reader::Parse(section), model.counts[pass]);
    if (succeeded && !differences.empty()) {
      Report(seed, pass + 1, "the report's figures differ from the model", differences);
      matched = false;
    }
  }
  sim::SetEraseHook(nullptr);
  return matched;
}

int RunTablesHere(const Options& options) {
  SetUnhandledExceptionFilter(ReportCrash);
  sim::SetTracing(false);
  sim::SetRecordForms(false);
  sim::InstallEngine();  // this program stands for the game: the product's ModuleBase is it
  // The product writes its report in the game folder, as at an armed start.
  const sim::ScratchGameFolder folder(L"runner");
  const sim::CurrentDirectoryScope inGameFolder(folder.Path());
  const std::wstring reportFile = folder.PluginFile(L"KelvarionSaveCleaner.log");
  // The room an armed start takes, as VKRXPlugin_Load takes it.
  StartReport(false, ReserveRunRecords());
  std::uint64_t reportRead = sim::ReadWholeFile(reportFile).value_or("").size();
  const auto start = std::chrono::steady_clock::now();
  unsigned failures = 0;
  std::uint64_t erased = 0;
  for (unsigned i = 0; i < options.tables; ++i) {
    const std::uint32_t idBase = FirstIdBase + i * random_tables::IdsPerTable;
    if (!RunTable(options.firstSeed + i, idBase, reportFile, reportRead, erased)) ++failures;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // A part's line is not the run's closing line.
  if (options.part != 0) std::printf("part %u: ", options.part);
  std::printf("tables=%u seeds=%u..%u erasures=%llu failures=%u seconds=%.1f\n", options.tables,
              options.firstSeed, options.firstSeed + options.tables - 1,
              static_cast<unsigned long long>(erased), failures, seconds);
  return failures == 0 ? 0 : 1;
}

// Splits the tables over child processes of this program, two running at a time.
int RunTablesInChildren(const Options& options) {
  const unsigned processes = options.processes;
  const unsigned perProcess = (options.tables + processes - 1) / processes;
  Require(perProcess <= MaxTablesPerProcess, "too many tables for one process");
  const std::wstring self = sim::BesideThisProgram(L"pass_runner.exe");
  const auto start = std::chrono::steady_clock::now();
  std::vector<sim::ScopedHandle> running;
  int failed = 0;
  auto waitForOne = [&] {
    std::vector<HANDLE> handles;
    for (const auto& child : running) handles.push_back(child.Get());
    const DWORD index =
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
    Require(index < WAIT_OBJECT_0 + handles.size(), "waiting for a child runner");
    DWORD exitCode = 1;
    sim::Require(GetExitCodeProcess(handles[index - WAIT_OBJECT_0], &exitCode) != 0,
                 "GetExitCodeProcess");
    if (exitCode != 0) ++failed;
    running.erase(running.begin() + (index - WAIT_OBJECT_0));
  };
  for (unsigned first = 0; first < options.tables; first += perProcess) {
    if (running.size() == 2) waitForOne();
    const unsigned count = std::min(perProcess, options.tables - first);
    std::wstring command = L"\"" + self + L"\" --first-seed " +
                           std::to_wstring(options.firstSeed + first) + L" --tables " +
                           std::to_wstring(count) + L" --processes 1 --part " +
                           std::to_wstring(first / perProcess + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    sim::Require(CreateProcessW(self.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &child) != 0,
                 "CreateProcessW of a child runner");
    CloseHandle(child.hThread);
    running.emplace_back(child.hProcess);
  }
  while (!running.empty()) waitForOne();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("all: tables=%u seeds=%u..%u processes=%u failed-processes=%d seconds=%.1f\n",
              options.tables, options.firstSeed, options.firstSeed + options.tables - 1, processes,
              failed, seconds);
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  bool tablesGiven = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const unsigned value = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    if (!std::strcmp(argv[i], "--first-seed")) {
      options.firstSeed = value;
    } else if (!std::strcmp(argv[i], "--tables")) {
      options.tables = value;
      tablesGiven = true;
    } else if (!std::strcmp(argv[i], "--processes")) {
      options.processes = value;
    } else if (!std::strcmp(argv[i], "--part")) {
      options.part = value;
    } else {
      std::fprintf(stderr, "usage: pass_runner [--first-seed S] [--tables N] [--processes P]\n");
      return 2;
    }
  }
  // A soak's count from the environment, unless the command line names one.
  if (const char* soak = std::getenv("KSC_SOAK_TABLES"); soak != nullptr && !tablesGiven) {
    options.tables = static_cast<unsigned>(std::strtoul(soak, nullptr, 10));
  }
  if (options.processes == 0) {
    options.processes = (options.tables + MaxTablesPerProcess - 1) / MaxTablesPerProcess;
  }
  if (options.processes <= 1) return RunTablesHere(options);
  return RunTablesInChildren(options);
}
