// Runs on every player update: tells the player what to do after each cleaning pass and,
// after the second, detaches the load-game sink and disarms the settings file.
#pragma once

#include <cstdint>

inline constexpr std::int64_t MonitorThrottleNs = 250'000'000;
// 3.001 s, not 3 s: a pause of exactly 3 s does not show a notice. Deliberate; keep it.
inline constexpr std::int64_t NoticeWaitNs = 3'001'000'000;

enum class MonitorStep {
  Throttled,        // under 250 ms since the last check: nothing at all
  CheckOnly,        // only lastCheckTime moves
  ShowFirstNotice,  // first phase done: ask for a new save and a reload
  FinishRun,        // second phase done: detach, disarm, ask for a new save and a restart
};

// The decision of one call, from the time of the call and the shared state.
MonitorStep DecideMonitorStep(std::int64_t nowNs, std::int64_t lastCheckNs, bool messagePending,
                              std::uint32_t loadCount);

// One call of the monitor at the given steady-clock reading, in nanoseconds.
void RunPhaseMonitor(std::int64_t nowNs);
