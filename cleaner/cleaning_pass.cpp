#include "cleaner/cleaning_pass.h"

#include "cleaner/form_rules.h"
#include "cleaner/form_table_lock.h"
#include "host/engine.h"
#include "host/game_layout.h"
#include "host/guarded_members.h"
#include "host/host_entry_table.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t ListMarkerFormId = 0x0020C59F;

template <class T>
T ReadEngineSlot(std::uintptr_t offset) {
  return ReadMember<T>(EngineAddress(offset), 0);
}

// Never reads through an array the table no longer uses: when an erase call has moved the
// slot array, the walk starts again at its first slot (what was erased is skipped through
// ErasedFormIds). The end is computed afresh before every slot.
void WalkSlots(const FormTableView& table, const PassInputs& inputs) {
  const FormTableSlotEntry* slots = table.Slots();
  const FormTableSlotEntry* cursor = slots;
  for (;;) {
    const FormTableSlotEntry* current = table.Slots();
    if (current != slots) cursor = slots = current;
    if (slots == nullptr || cursor >= slots + table.SlotCount()) return;
    if (cursor->state != EmptySlotState) VisitSlot(cursor->key, cursor->form, inputs);
    ++cursor;
  }
}

}  // namespace

bool RunCleaningPass() {
  void* outpostMarker = ReadEngineSlot<void*>(HostEntryTable::OutpostMarkerSlot);
  if (outpostMarker == nullptr) return false;
  const GameForm* listMarkerForm = LookupFormById(ListMarkerFormId);
  if (listMarkerForm == nullptr) return false;

  const void* table = ReadEngineSlot<const void*>(HostEntryTable::FormTableSlot);
  FormTableLockGuard lock(EngineAddress(HostEntryTable::FormTableLock));
  if (table == nullptr) return false;
  const FormTableView view{table};
  if (static_cast<std::uint32_t>(view.SlotCount()) == view.EmptinessWord()) return false;
  void* keptSource = ReadEngineSlot<void*>(HostEntryTable::KeptFormSourceSlot);
  if (keptSource == nullptr) return false;

  // Faults on guarded members are absorbed only while this pass walks.
  const FaultAbsorberScope absorber;
  if (!absorber.Installed()) return false;
  const GameForm* keptFormA = GetKeptForm(keptSource);
  // bEraseOutposts is copied once per pass: only ReadSettings writes it, and that runs at
  // load, before any pass can start.
  const PassInputs inputs{outpostMarker, listMarkerForm, keptFormA, KeptFormB(keptFormA),
                          bEraseOutposts};
  WalkSlots(view, inputs);
  return true;
}
