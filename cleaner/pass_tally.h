// The counts one cleaning pass keeps for the report, at the decisions the pass makes anyway:
// one increment for each form with a run-time key, where its fate is decided.
// After the slot array moved, the walk starts again from the first slot; each form still
// counts once: what was kept or skipped is counted anew, and forms this pass already erased
// are not counted again when the walk meets them a second time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cleaner/kept_form_record.h"
#include "report/pass_counters.h"

class PassTally {
 public:
  // A pass starts: the kept record is forgotten, and the erased record starts the pass's
  // section.
  PassTally();

  // A run-time key whose FormId the erased record holds.
  void AlreadyErased(std::uint32_t formId) {
    if (restarted_ && ErasedByThisPass(formId)) return;  // erased by this pass, met again
    ++counters_.skipped;
  }
  // Any other run-time key is examined, then either erased or kept: one count each, so
  // that the forms examined are the sum of the two and the skipped ones. Unreadable: a
  // guarded read faulted while the form was judged. `listed`: the erased record's walk order
  // had room for it.
  void Erased(const ErasedForm& form, bool listed) {
    ++counters_.erased[static_cast<std::size_t>(form.type)];
    counters_.erasedOutposts += form.outpost ? 1 : 0;
    unreadableErased_ += form.unreadable ? 1 : 0;
    counters_.unreadableForms += form.unreadable ? 1 : 0;
    if (!listed && !tracking_) TrackErasures();
    if (tracking_) MarkErasedByThisPass(form.formId);
  }
  // A form the rules kept (or a slot without its form), and why; the kept record learns
  // those the list of kept forms shows.
  void Kept(KeptReason reason, std::uint32_t formId, bool unreadable = false) {
    ++counters_.kept[static_cast<std::size_t>(reason)];
    counters_.unreadableForms += unreadable ? 1 : 0;
    if (IsListedAsKept(reason)) KeptForms.Add({formId, reason, unreadable});
  }
  void KeptFormBUnreadable() { counters_.keptFormBUnreadable = true; }
  // The slot array moved: the walk starts again at its first slot.
  void WalkRestarted();
  // The walk ended with this slot count, having visited this many in-use slots since it
  // last started (counted by the walk itself, in a register).
  void WalkEnded(std::uint64_t slotCount, std::uint64_t slotsInUse);

  PassCounters& Counters() { return counters_; }

 private:
  // Which FormIds this pass erased, kept in a bitmap of its own only once the walk has
  // restarted or the erased record's walk order is full (both rare): until then the walk
  // order's section of this pass says it.
  void TrackErasures();
  static bool ErasedByThisPass(std::uint32_t formId);
  static void MarkErasedByThisPass(std::uint32_t formId);

  PassCounters counters_;
  std::uint64_t unreadableErased_ = 0;  // survive a restart, as the erased counts do
  bool restarted_ = false;
  bool tracking_ = false;
};
