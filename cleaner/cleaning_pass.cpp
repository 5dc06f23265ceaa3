#include "cleaner/cleaning_pass.h"

#include "cleaner/erased_form_ids.h"
#include "cleaner/form_rules.h"
#include "cleaner/form_table_lock.h"
#include "cleaner/kept_form_record.h"
#include "cleaner/pass_tally.h"
#include "cleaner/slot_walk.h"
#include "host/engine.h"
#include "host/game_layout.h"
#include "host/guarded_members.h"
#include "host/guarded_read.h"
#include "host/host_entry_table.h"
#include "report/report.h"
#include "settings/settings.h"

namespace {

template <class T>
T ReadEngineSlot(std::uintptr_t offset) {
  return ReadMember<T>(EngineAddress(offset), 0);
}

// The pass from its preconditions to the end of the walk; the lock is held from the table
// test on and released when this returns or throws.
PassFailure CleanFormTable(PassTally& tally) {
  void* outpostMarker = ReadEngineSlot<void*>(HostEntryTable::OutpostMarkerSlot);
  if (outpostMarker == nullptr) return PassFailure::NoOutpostMarker;
  const GameForm* listMarkerForm = LookupFormById(ListMarkerFormId);
  if (listMarkerForm == nullptr) return PassFailure::ListMarkerFormMissing;
  // Its room was taken at the armed start, or the game had too little memory then.
  if (!ErasedFormIds.HasMembership()) return PassFailure::TooLittleMemoryAtStart;
  // Faults on guarded members are absorbed only while this pass runs. Installed (and removed)
  // outside the lock: Windows takes the handler's entry from the heap.
  const FaultAbsorberScope absorber;
  if (!absorber.Installed()) return PassFailure::FaultHandlerNotInstalled;

  // On disk before the lock is taken: should the game end inside the pass, the report shows
  // that the pass began and never ended.
  ReportPassBegins();
  const void* table = ReadEngineSlot<const void*>(HostEntryTable::FormTableSlot);
  // Held from here to the end of the walk, and timed for the report.
  const FormTableLockGuard lock(EngineAddress(HostEntryTable::FormTableLock),
                                tally.Counters().lockHeldTicks);
  if (table == nullptr) return PassFailure::NoFormTable;
  const FormTableView view{table};
  if (static_cast<std::uint32_t>(view.SlotCount()) == view.EmptinessWord()) {
    return PassFailure::TableEmpty;
  }
  void* keptSource = ReadEngineSlot<void*>(HostEntryTable::KeptFormSourceSlot);
  if (keptSource == nullptr) return PassFailure::NoKeptFormSource;

  const GameForm* keptFormA = GetKeptForm(keptSource);
  // Read once, before the walk: a fault here belongs to no form the walk judges.
  const std::uint64_t faultsBefore = AbsorbedFaultCount();
  const GameForm* keptFormB = KeptFormB(keptFormA);
  if (AbsorbedFaultCount() != faultsBefore) tally.KeptFormBUnreadable();
  // bEraseOutposts is copied once per pass: only ReadSettings writes it, and that runs at
  // load, before any pass can start.
  const PassInputs inputs{outpostMarker, listMarkerForm, keptFormA, keptFormB, bEraseOutposts};
  tally.Counters().eraseOutposts = inputs.eraseOutposts;
  WalkSlots(view, inputs, tally);
  return PassFailure::None;
}

}  // namespace

// The report and the lists are written after the lock is released: a failure (on disk before
// the caller composes its fatal text), or the pass's figures and the forms it erased and kept
// before the caller marks its notice due. Nothing from the lock to its release allocates or
// throws; should anything throw all the same, the pass is a failed one.
bool RunCleaningPass() {
  PassTally tally;
  PassFailure failure = PassFailure::None;
  try {
    failure = CleanFormTable(tally);
  } catch (...) {
    ReportPassFailure(PassFailure::UnexpectedError, tally.Counters(), ErasedFormIds.OfPass(),
                      KeptForms.Section());
    throw;
  }
  if (failure != PassFailure::None) {
    ReportPassFailure(failure, tally.Counters(), ErasedFormIds.OfPass(), KeptForms.Section());
    return false;
  }
  ReportPass(tally.Counters(), ErasedFormIds.OfPass(), KeptForms.Section());
  return true;
}
