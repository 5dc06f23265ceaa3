// The engine data the cleaning pass reads: the FormTable behind FormTableSlot, and the two
// singletons behind OutpostMarkerSlot and KeptFormSourceSlot.
#pragma once

#include <cstdint>

#include "sim/game_memory.h"

namespace sim {

// Points FormTableSlot at the simulator's one FormTable object.
void InstallFormTable();

// Slot arrays come from here (whole pages, so that a moved array can be made unreadable).
TableSlot* NewSlotArray(std::uint64_t count);
// From now on (until ReleaseGameData), each new slot array, a moved one too, ends exactly
// where a no-access page begins: reading one slot past the last faults.
void PlaceSlotArraysAtPageEnd(bool atPageEnd);
void SetFormTable(TableSlot* slots, std::uint64_t count, std::uint32_t emptinessWord);
void RemoveFormTable();
// Moves the slot array to new memory and makes the old array unreadable.
void MoveSlotArray();
void ShrinkSlotCount(std::uint64_t by);

// Forgets every form, block and slot array built so far and recycles their memory, for a
// runner that builds table after table in one process.
void ReleaseGameData();

// The table as the engine holds it now.
const TableSlot* CurrentSlots();
std::uint64_t CurrentSlotCount();

void SetOutpostMarker(void* marker);
void SetKeptFormSource(void* source);

}  // namespace sim
