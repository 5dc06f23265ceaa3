// One walk over the game's FormTable, under the game's lock, that erases the run-time
// 'K', 'J' and 'V' forms no exemption protects.
#pragma once

// True when the walk ran to its end; false when a precondition failed and nothing was erased.
bool RunCleaningPass();
