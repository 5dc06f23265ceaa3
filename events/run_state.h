// What the load-game handler and the phase monitor share. Written on the load-game thread
// and read on the player-update thread, hence atomics. Never reset: one run per process.
#pragma once

#include <atomic>
#include <cstdint>

struct RunStateFields {
  std::atomic<std::uint32_t> loadCount{0};
  std::atomic<bool> messagePending{false};
};

extern constinit RunStateFields RunState;
