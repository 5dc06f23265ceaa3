#include "cleaner/slot_walk.h"

#include "cleaner/form_rules.h"
#include "cleaner/pass_tally.h"

void WalkSlots(const FormTableView& table, const PassInputs& inputs, PassTally& tally) {
  const FormTableSlotEntry* slots = table.Slots();
  const FormTableSlotEntry* cursor = slots;
  for (;;) {
    const FormTableSlotEntry* current = table.Slots();
    if (current != slots) {
      cursor = slots = current;
      tally.WalkRestarted();
    }
    if (slots == nullptr || cursor >= slots + table.SlotCount()) break;
    if (cursor->state != EmptySlotState) VisitSlot(cursor->key, cursor->form, inputs, tally);
    ++cursor;
  }
  tally.WalkEnded(table.SlotCount());
}
