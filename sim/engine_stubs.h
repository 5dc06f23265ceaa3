// The game's engine functions, played by recording functions that the plugin reaches
// through jump stubs at their fixed offsets. Each checks its arguments and the table lock
// as the game requires, and reports any breach as a protocol error.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

// Checks the host image, writes the stubs and the data slots.
void InstallEngine();

// One erase call as the engine saw it: 'B' BeginErase, 'F' FinishErase, 'V' EraseVForm.
struct EraseCall {
  char kind;
  std::uint32_t formId;
};
// Appends every erase call to `log` (null: stop), for runners that trace nothing.
void RecordEraseCallsInto(std::vector<EraseCall>* log);

// How long the table lock was held each time so far, in order, on the real performance
// counter: from the return of LockFormTable to the call of UnlockFormTable.
const std::vector<double>& LockHeldSeconds();

// Whether the plugin holds the game's table lock now.
bool FormTableLocked();

// Called after every erase call (BeginErase or EraseVForm) with its 1-based number.
void SetEraseHook(std::function<void(std::uint64_t)> hook);

// The game process ends there and then, as when it crashes inside an engine call or the player
// ends it in Task Manager: nothing of the plugin runs any more. Traced `game-dies`.
[[noreturn]] void EndTheGameNow();

}  // namespace sim
