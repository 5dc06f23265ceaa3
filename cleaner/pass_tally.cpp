#include "cleaner/pass_tally.h"

#include <cstring>

#include "cleaner/erased_form_ids.h"
#include "cleaner/runtime_id_bits.h"

namespace {

// The run-time FormIds this pass erased, once tracked. Static storage, so that counting
// allocates nothing.
std::uint64_t erasedThisPass[RuntimeIdWords];

}  // namespace

PassTally::PassTally() {
  KeptForms.Clear();
  ErasedFormIds.StartPass();
}

bool PassTally::ErasedByThisPass(std::uint32_t formId) {
  return (erasedThisPass[RuntimeIdWord(formId)] & RuntimeIdBit(formId)) != 0;
}

void PassTally::MarkErasedByThisPass(std::uint32_t formId) {
  erasedThisPass[RuntimeIdWord(formId)] |= RuntimeIdBit(formId);
}

void PassTally::TrackErasures() {
  std::memset(erasedThisPass, 0, sizeof erasedThisPass);
  // Until now every erasure of this pass was listed.
  for (const ErasedForm& form : ErasedFormIds.OfPass().forms) MarkErasedByThisPass(form.formId);
  tracking_ = true;
}

void PassTally::WalkRestarted() {
  if (!tracking_) TrackErasures();
  restarted_ = true;
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
