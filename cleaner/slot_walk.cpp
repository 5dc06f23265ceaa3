#include "cleaner/slot_walk.h"

#include <algorithm>

#include "cleaner/erased_form_ids.h"
#include "cleaner/form_rules.h"
#include "cleaner/pass_tally.h"

namespace {

// The lines of upcoming run-time forms are asked for in bursts. A prefetch whose page is not
// in the TLB holds up the instructions behind it until its page walk ends, so prefetches
// spread over the walk one form at a time wait for one another, while a burst's walks
// overlap. A burst gathers up to BurstForms forms from at most BurstSlots slots; the next one
// is asked for when the walk reaches the slots of this one, so that each form's lines have
// the time of a whole burst to arrive. Tuned with bench/paired.sh (bench/README.md):
// 32 forms gain the most (8 and 16 less, 64 no more); 256 to 2048 slots measure alike.
constexpr std::uint64_t BurstForms = 32;
constexpr std::uint64_t BurstSlots = 512;

// The members the rules may read of a run-time form, whatever its type turns out to be:
// the type is not known before GetFormType, which is not called early.
constexpr std::uintptr_t PrefetchedMembers[] = {
    GameLayout::VirtualTable,  GameLayout::FormId,           GameLayout::BaseObject,
    GameLayout::HoldLink,      GameLayout::AttachmentHolder, GameLayout::MarkerHolderB,
    GameLayout::MarkerHolderA, GameLayout::ParentObject};

// A hint only: it never faults and changes nothing the rules see. Into the L2 cache, not the
// L1: with a burst or two of forms in flight, lines prefetched into the L1 push out those the
// walk is using (prefetcht0 measured slower at 2^18 and 2^19 slots, no faster at 2^20 and
// 2^21). Written as asm because GCC treats __builtin_prefetch as free of effects and drops it
// from helpers it finds pure.
inline void PrefetchLine(const char* address) {
  asm volatile("prefetcht1 %0" : : "m"(*address));
}

// A slot whose form the rules will judge, as far as its key tells before the walk reaches it.
// Only the hint depends on it: every decision uses the slot as read at its turn.
inline bool IsCandidate(const FormTableSlotEntry& slot) {
  return slot.state != EmptySlotState && IsRuntimeFormId(slot.key) && slot.form != nullptr &&
         !ErasedFormIds.Contains(slot.key);
}

// Looks at the slots from `first` on, below `count`, and asks for the lines of the next
// BurstForms candidates at once. Returns the first slot it did not look at.
std::uint64_t PrefetchBurst(const FormTableSlotEntry* slots, std::uint64_t first,
                            std::uint64_t count) {
  const char* forms[BurstForms];
  std::uint64_t found = 0;
  const std::uint64_t end = std::min(count, first + BurstSlots);
  std::uint64_t next = first;
  for (; next < end && found < BurstForms; ++next) {
    if (IsCandidate(slots[next])) {
      forms[found++] = static_cast<const char*>(static_cast<const void*>(slots[next].form));
    }
  }
  for (std::uint64_t i = 0; i < found; ++i) {
    for (const std::uintptr_t member : PrefetchedMembers) PrefetchLine(forms[i] + member);
  }
  return next;
}

}  // namespace

void WalkSlots(const FormTableView& table, const PassInputs& inputs, PassTally& tally) {
  const FormTableSlotEntry* slots = table.Slots();
  const FormTableSlotEntry* cursor = slots;
  std::uint64_t inUse = 0;
  // Slots below `scouted` have been looked at for the next burst, which is asked for when the
  // cursor reaches `nextBurstAt`, the first slot of the burst before it.
  std::uint64_t scouted = 0;
  std::uint64_t nextBurstAt = 0;
  for (;;) {
    const FormTableSlotEntry* current = table.Slots();
    if (current != slots) {
      cursor = slots = current;
      if (slots == nullptr) break;  // the table has no slots left: nothing to start again
      inUse = 0;
      scouted = nextBurstAt = 0;
      tally.WalkRestarted();
    }
    const std::uint64_t count = table.SlotCount();
    if (slots == nullptr || cursor >= slots + count) break;
    // From the current array and count, so that a move or a shrink re-bases it at once.
    const auto index = static_cast<std::uint64_t>(cursor - slots);
    if (index >= nextBurstAt) {
      if (scouted <= index) scouted = index + 1;
      nextBurstAt = scouted;
      scouted = PrefetchBurst(slots, scouted, count);
    }
    if (cursor->state != EmptySlotState) {
      ++inUse;
      VisitSlot(cursor->key, cursor->form, inputs, tally);
    }
    ++cursor;
  }
  tally.WalkEnded(table.SlotCount(), inUse);
}
