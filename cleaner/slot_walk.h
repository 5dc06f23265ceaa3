// The walk over the FormTable's slots, in array order, under the table lock.
#pragma once

#include "host/game_layout.h"

class PassTally;
struct PassInputs;

// Visits every in-use slot once. When an erase call moves the slot array, the walk starts
// again at the new array's first slot; the end is computed afresh before every slot.
void WalkSlots(const FormTableView& table, const PassInputs& inputs, PassTally& tally);
