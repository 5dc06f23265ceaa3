// The run-time forms one pass kept by a rule, with the rule and whether their data was
// readable, for the list of kept forms. Forgotten at the start of each pass and whenever its
// walk starts again: the list names each kept form once.
#pragma once

#include "cleaner/fixed_room_record.h"
#include "report/pass_counters.h"

using KeptFormRecord = FixedRoomRecord<KeptForm>;

// One pass at a time: nothing between the passes reads it.
extern KeptFormRecord KeptForms;
