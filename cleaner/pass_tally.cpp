#include "cleaner/pass_tally.h"

#include <cstring>

#include "cleaner/erased_form_ids.h"
#include "cleaner/runtime_id_bits.h"
#include "host/game_layout.h"

namespace {

// The run-time FormIds this pass erased, kept only once the walk has restarted (moves are
// rare). Static storage, so that counting allocates nothing.
std::uint64_t erasedThisPass[RuntimeIdWords];

}  // namespace

PassTally::PassTally() : erasedBeforePass_(ErasedFormIds.InWalkOrder().size()) {
  KeptForms.Clear();
}

bool PassTally::ErasedAfterRestart(std::uint32_t formId) {
  return (erasedThisPass[RuntimeIdWord(formId)] & RuntimeIdBit(formId)) != 0;
}

void PassTally::MarkErasedAfterRestart(std::uint32_t formId) {
  erasedThisPass[RuntimeIdWord(formId)] |= RuntimeIdBit(formId);
}

void PassTally::WalkRestarted() {
  if (!restarted_) {
    std::memset(erasedThisPass, 0, sizeof erasedThisPass);
    const auto& record = ErasedFormIds.InWalkOrder();
    for (std::size_t i = erasedBeforePass_; i < record.size(); ++i) {
      if (IsRuntimeFormId(record[i].formId)) MarkErasedAfterRestart(record[i].formId);
    }
    restarted_ = true;
  }
  ++counters_.walkRestarts;
  // What the walk kept or skipped so far is counted again from the first slot; the forms it
  // erased are not counted a second time.
  for (std::uint64_t& kept : counters_.kept) kept = 0;
  KeptForms.Clear();
  counters_.skipped = 0;
  counters_.unreadableForms = unreadableErased_;
}

void PassTally::WalkEnded(std::uint64_t slotCount, std::uint64_t slotsInUse) {
  counters_.slotsInTable = slotCount;
  counters_.slotsInUse = slotsInUse;
}
