#include "cleaner/slot_walk.h"

#include "cleaner/erased_form_ids.h"
#include "cleaner/form_rules.h"
#include "cleaner/pass_tally.h"

namespace {

// How far ahead of the walk, in slots, the members of run-time forms are prefetched: far
// enough for a memory latency to pass while the walk judges the slots between, near enough
// that the lines in flight stay within what the processor tracks (five or so lines a form,
// one run-time form every few slots). Tuned with bench/paired.sh (README.md, "Benchmarks"):
// 8 to 48 all gain much, 16 to 32 the most; 24 is in the middle of that plateau.
constexpr std::uint64_t PrefetchDistance = 24;

// The members the rules may read of a run-time form, whatever its type turns out to be:
// the type is not known before GetFormType, which is not called early.
constexpr std::uintptr_t PrefetchedMembers[] = {
    GameLayout::VirtualTable,  GameLayout::FormId,           GameLayout::BaseObject,
    GameLayout::HoldLink,      GameLayout::AttachmentHolder, GameLayout::MarkerHolderB,
    GameLayout::MarkerHolderA, GameLayout::ParentObject};

// A hint only: reads an upcoming slot's key, state and form pointer, and asks for the form's
// lines without loading any of its members. A prefetch never faults and changes nothing
// the rules see; every decision still uses the slot as read at its turn. Slots the pass
// skips on their key get none.
inline void PrefetchCandidate(const FormTableSlotEntry& slot) {
  if (slot.state == EmptySlotState || !IsRuntimeFormId(slot.key) || slot.form == nullptr) return;
  if (ErasedFormIds.Contains(slot.key)) return;
  const auto* form = static_cast<const char*>(static_cast<const void*>(slot.form));
  for (const std::uintptr_t member : PrefetchedMembers) __builtin_prefetch(form + member, 0, 3);
}

}  // namespace

void WalkSlots(const FormTableView& table, const PassInputs& inputs, PassTally& tally) {
  const FormTableSlotEntry* slots = table.Slots();
  const FormTableSlotEntry* cursor = slots;
  std::uint64_t inUse = 0;
  for (;;) {
    const FormTableSlotEntry* current = table.Slots();
    if (current != slots) {
      cursor = slots = current;
      if (slots == nullptr) break;  // the table has no slots left: nothing to start again
      inUse = 0;
      tally.WalkRestarted();
    }
    const std::uint64_t count = table.SlotCount();
    if (slots == nullptr || cursor >= slots + count) break;
    // From the current array and count, so that a move or a shrink re-bases it at once.
    const auto index = static_cast<std::uint64_t>(cursor - slots);
    if (index + PrefetchDistance < count) PrefetchCandidate(cursor[PrefetchDistance]);
    if (cursor->state != EmptySlotState) {
      ++inUse;
      VisitSlot(cursor->key, cursor->form, inputs, tally);
    }
    ++cursor;
  }
  tally.WalkEnded(table.SlotCount(), inUse);
}
