#include "cleaner/slot_walk.h"

#include "cleaner/form_rules.h"
#include "cleaner/pass_tally.h"

void WalkSlots(const FormTableView& table, const PassInputs& inputs, PassTally& tally) {
  const FormTableSlotEntry* slots = table.Slots();
  const FormTableSlotEntry* cursor = slots;
  std::uint64_t inUse = 0;
  for (;;) {
    const FormTableSlotEntry* current = table.Slots();
    if (current != slots) {
      cursor = slots = current;
      inUse = 0;
      tally.WalkRestarted();
    }
    if (slots == nullptr || cursor >= slots + table.SlotCount()) break;
    if (cursor->state != EmptySlotState) {
      ++inUse;
      VisitSlot(cursor->key, cursor->form, inputs, tally);
    }
    ++cursor;
  }
  tally.WalkEnded(table.SlotCount(), inUse);
}
