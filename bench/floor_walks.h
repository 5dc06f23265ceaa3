// The walks a cleaning pass is held against, timed in the same process just before and just
// after each pass (the machine's memory speed drifts from one second to the next):
//   naive:      each slot, each form's FormId and its GetFormType call;
//   same-lines: the naive walk plus, for each run-time key not yet erased, a load of each
//               member the pass prefetches of such a form (those that lie inside the form:
//               all of them in a game-shaped 'K', 'J' or 'V' form), and, when its base
//               (+0x98) is set, the base's FormId (+0x28) and related form (+0x130) and that
//               related form's first word; with the pass's prefetch of those members
//               (PrefetchScheme). It reads the lines the pass reads, with no logic.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sim/game_memory.h"

namespace bench {

// The run-time FormIds a pass finds already erased: one bit each (2 MiB), as the pass keeps
// them, so that the same-lines walk pays the same test.
class ErasedIds {
 public:
  ErasedIds();
  bool Has(std::uint32_t formId) const {
    return (bits_[(formId & 0x00FFFFFF) >> 6] >> (formId & 63) & 1) != 0;
  }
  // Adds the run-time forms of a table that the engine has erased.
  void AddErasedForms(const sim::TableSlot* slots, std::uint64_t count);

 private:
  std::vector<std::uint64_t> bits_;
};

// How the same-lines walk asks for the members of upcoming forms: one form at a time,
// `distance` slots ahead, into the L1 (the pass before the bursts; the default, as the
// cheaper for a loop of plain loads: up to a fifth less for the first pass's floor at 2^21
// slots, within 6% for the second's); or, with `burstForms` set, as the pass does now, in
// bursts of up to `burstForms` forms gathered from at most `burstSlots` slots, into the L2,
// the next one asked for when the walk reaches the slots of the one before.
struct PrefetchScheme {
  std::uint64_t burstForms = 0;
  std::uint64_t burstSlots = 0;
  std::uint64_t distance = 24;
};
inline constexpr std::uint64_t MaxBurstForms = 256;

// The size of a run-time form, by its type code.
using FormBytesByType = std::array<std::size_t, 256>;

// Both return a checksum, so that no load can be left out.
std::uint64_t NaiveFloorWalk(const sim::TableSlot* slots, std::uint64_t count);
std::uint64_t SameLinesFloorWalk(const sim::TableSlot* slots, std::uint64_t count,
                                 const ErasedIds& erased, const FormBytesByType& formBytes,
                                 const PrefetchScheme& prefetch);

}  // namespace bench
