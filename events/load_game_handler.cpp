#include "events/load_game_handler.h"

#include "cleaner/cleaning_pass.h"
#include "events/run_state.h"
#include "notices/notices.h"

constinit RunStateFields RunState;

namespace {

// The "line" numbers of the fatal texts are fixed identifiers that players and helpers
// recognise, not lines of this file: they stay 572 and 582 whatever the code around them.
constexpr unsigned FirstPhaseFatalLine = 572;
constexpr unsigned SecondPhaseFatalLine = 582;

// An exception out of the pass is a failed pass like any other: the world may be half
// cleaned, so the game must not go on to save it.
bool PassSucceeded() {
  try {
    return RunCleaningPass();
  } catch (...) {
    return false;
  }
}

// "occured" is the text's own spelling, kept exactly.
void ReportFailedPass(unsigned line) {
  ReportFatalError("Events::HandleNVALoadGameEvent", line,
                   "Fatal error occured while cleaning the Save Game, the game will exit.");
}

}  // namespace

void Events::HandleNVALoadGameEvent() {
  const std::uint32_t loadCount = RunState.loadCount.fetch_add(1) + 1;
  if (loadCount == 1) {
    RunState.messagePending.store(false);
    if (PassSucceeded()) {
      RunState.messagePending.store(true);
      return;
    }
    ReportFailedPass(FirstPhaseFatalLine);
  } else if (loadCount == 2) {
    if (PassSucceeded()) {
      RunState.messagePending.store(true);
      return;
    }
    ReportFailedPass(SecondPhaseFatalLine);
  }
}
