#include "events/phase_monitor.h"

#include <atomic>
#include <string>

#include "events/event_sinks.h"
#include "events/run_state.h"
#include "host/engine.h"
#include "host/host_entry_table.h"
#include "notices/notices.h"
#include "report/report.h"
#include "settings/settings.h"

namespace {

constinit std::atomic<std::int64_t> lastCheckTime{0};

// The player texts are quoted exactly as the run has always shown them, spelling included
// ("procedually"): players and guides search for these words. Do not correct them.
constexpr const char* FirstPhaseNotice =
    "The first Save Game cleaning phase is complete.\n\n"
    "Please create a new Save Game in the Pause Menu then reload this save.\n\n"
    "It is recommended to type 'TCL' in the Console to turn off collision if the save was "
    "created at a procedually generated location to prevent falling off.";

constexpr const char* SecondPhaseNotice =
    "The second Save Game cleaning phase is complete.\n\n"
    "Please create a new Save Game then exit the game as soon as possible.\n\n"
    "Reopen Kelvarion and load this save.\n\n"
    "This is the 'cleaned' save. Please test it thoroughly.\n\n"
    "(Don't forget about the 'TCL' console command if you're currently on a procedually "
    "generated terrain to prevent falling off).\n\n"
    "Note: the plugin now resets 'bPluginActive' in KelvarionSaveCleaner.ini to deactivate "
    "itself.";

constexpr const char* DisarmFailedSuffix =
    "\n\nWarning: INI setting 'bPluginActive' couldn't be deactivated. Please change its value "
    "to 0 in KelvarionSaveCleaner.ini";

// How far the end of the run has got. Detach, write, report and notice each happen once, in
// that order; when one throws (memory exhausted), the next check goes on from there, keeping the
// write's result for the notice.
struct RunFinish {
  bool detached = false;
  bool written = false;
  bool disarmed = false;
  bool reported = false;
  bool noticeShown = false;

  bool InProgress() const { return detached && !noticeShown; }
};
constinit RunFinish finish;

void FinishRun() {
  if (!finish.detached) {
    DetachSink(EngineAddress(HostEntryTable::LoadGameEventSource), &LoadGameSink);
    finish.detached = true;
  }
  // The write and its read-back are one step: should the read-back throw, the write is
  // made again (to the same value) at the next check.
  if (!finish.written) {
    finish.disarmed = DisarmPlugin();
    finish.written = true;
  }
  if (!finish.reported) {
    ReportRunEnd(finish.disarmed);
    finish.reported = true;
  }
  if (!finish.noticeShown) {
    ShowNotice(std::string(SecondPhaseNotice) + (finish.disarmed ? "" : DisarmFailedSuffix));
    finish.noticeShown = true;
  }
}

// Moves lastCheckTime when it goes out of scope, also when an exception passes.
class LastCheckUpdate {
 public:
  explicit LastCheckUpdate(std::int64_t nowNs) : nowNs_(nowNs) {}
  ~LastCheckUpdate() { lastCheckTime.store(nowNs_, std::memory_order_relaxed); }
  LastCheckUpdate(const LastCheckUpdate&) = delete;
  LastCheckUpdate& operator=(const LastCheckUpdate&) = delete;
  LastCheckUpdate(LastCheckUpdate&&) = delete;
  LastCheckUpdate& operator=(LastCheckUpdate&&) = delete;

 private:
  std::int64_t nowNs_;
};

// A load that counted while the box was open has its own pending notice: keep it.
void ClearPendingUnlessLoadedSince(std::uint32_t loadCount) {
  if (RunState.loadCount.load() == loadCount) RunState.messagePending.store(false);
}

// Wrapping subtraction: defined for any two readings.
std::int64_t ElapsedNs(std::int64_t nowNs, std::int64_t lastCheckNs) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(nowNs) -
                                   static_cast<std::uint64_t>(lastCheckNs));
}

}  // namespace

MonitorStep DecideMonitorStep(std::int64_t nowNs, std::int64_t lastCheckNs, bool messagePending,
                              std::uint32_t loadCount) {
  const std::int64_t elapsed = ElapsedNs(nowNs, lastCheckNs);
  if (elapsed < MonitorThrottleNs) return MonitorStep::Throttled;
  if (!messagePending || elapsed < NoticeWaitNs) return MonitorStep::CheckOnly;
  if (loadCount == 1) return MonitorStep::ShowFirstNotice;
  if (loadCount == 2) return MonitorStep::FinishRun;
  return MonitorStep::CheckOnly;
}

void RunPhaseMonitor(std::int64_t nowNs) {
  const std::int64_t lastCheck = lastCheckTime.load(std::memory_order_relaxed);
  // The path of nearly every call: no shared state touched, nothing allocated.
  if (ElapsedNs(nowNs, lastCheck) < MonitorThrottleNs) return;

  // messagePending first, then loadCount. A pass sets the flag after its load was counted,
  // so a flag read as set comes with a count at least as new as that load; read the other
  // way round, a load landing between the reads would pair its flag with the old count and
  // show the first notice again. This narrows one window; it does not make the monitor
  // thread-safe.
  const bool messagePending = RunState.messagePending.load();
  const std::uint32_t loadCount = RunState.loadCount.load();
  MonitorStep step = DecideMonitorStep(nowNs, lastCheck, messagePending, loadCount);
  // An end of run that an exception interrupted goes on at the next check, with no new wait.
  if (finish.InProgress()) step = MonitorStep::FinishRun;

  if (step == MonitorStep::ShowFirstNotice) {
    // Should this throw, lastCheckTime stays: the next player update finds the wait still
    // over and tries again (each try only builds texts; nothing has happened yet).
    ShowNotice(FirstPhaseNotice);
    ClearPendingUnlessLoadedSince(loadCount);
  } else if (step == MonitorStep::FinishRun) {
    // Moved even when a step throws, so that what is left is tried 250 ms later, not after
    // another pause (and the sink, already detached, is not detached again).
    const LastCheckUpdate update(nowNs);
    FinishRun();
    ClearPendingUnlessLoadedSince(loadCount);
    return;
  }
  lastCheckTime.store(nowNs, std::memory_order_relaxed);
}
