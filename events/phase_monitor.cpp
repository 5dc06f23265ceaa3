#include "events/phase_monitor.h"

#include <atomic>
#include <string>

#include "events/event_sinks.h"
#include "events/run_state.h"
#include "host/engine.h"
#include "host/host_entry_table.h"
#include "notices/notices.h"
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

void FinishRun() {
  DetachSink(EngineAddress(HostEntryTable::LoadGameEventSource), &LoadGameSink);
  const bool disarmed = DisarmPlugin();
  ShowNotice(std::string(SecondPhaseNotice) + (disarmed ? "" : DisarmFailedSuffix));
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

  const std::uint32_t loadCount = RunState.loadCount.load();
  const MonitorStep step =
      DecideMonitorStep(nowNs, lastCheck, RunState.messagePending.load(), loadCount);

  if (step == MonitorStep::ShowFirstNotice || step == MonitorStep::FinishRun) {
    if (step == MonitorStep::ShowFirstNotice) {
      ShowNotice(FirstPhaseNotice);
    } else {
      FinishRun();
    }
    // A load that counted while the box was open has its own pending notice: keep it.
    if (RunState.loadCount.load() == loadCount) RunState.messagePending.store(false);
  }
  lastCheckTime.store(nowNs, std::memory_order_relaxed);
}
