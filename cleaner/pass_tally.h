// The counts one cleaning pass keeps for the report, at the decisions the pass makes anyway:
// one increment for each form with a run-time key, where its fate is decided.
// After the slot array moved, the walk starts again from the first slot; each form still
// counts once: what was kept is counted anew, and forms this pass already erased are not
// counted again when the walk meets them a second time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "report/pass_counters.h"

class PassTally {
 public:
  PassTally();

  // A run-time key whose FormId the erased record holds.
  void AlreadyErased(std::uint32_t formId) {
    if (restarted_ && ErasedAfterRestart(formId)) return;  // erased by this pass, met again
    Kept(KeptReason::AlreadyErased);
  }
  // Any other run-time key is examined, then either erased or kept: one count each, so
  // that the forms examined are the sum of the two.
  void Erased(ErasedType type, std::uint32_t formId) {
    ++counters_.erased[static_cast<std::size_t>(type)];
    if (restarted_) MarkErasedAfterRestart(formId);
  }
  void Kept(KeptReason reason) { ++counters_.kept[static_cast<std::size_t>(reason)]; }
  // The slot array moved: the walk starts again at its first slot.
  void WalkRestarted();
  // The walk ended with this slot count, having visited this many in-use slots since it
  // last started (counted by the walk itself, in a register).
  void WalkEnded(std::uint64_t slotCount, std::uint64_t slotsInUse);

  PassCounters& Counters() { return counters_; }

 private:
  // Only once the walk has restarted (rare): which FormIds this pass erased.
  static bool ErasedAfterRestart(std::uint32_t formId);
  static void MarkErasedAfterRestart(std::uint32_t formId);

  PassCounters counters_;
  std::size_t erasedBeforePass_;
  std::uint64_t faultsBeforePass_;
  bool restarted_ = false;
};
