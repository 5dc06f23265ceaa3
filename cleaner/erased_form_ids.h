// The forms the cleaning passes have erased: a membership test by FormId, which the second pass
// asks for every run-time slot, and the forms in walk order (FormId and kind in one entry) for
// the list of erased forms. Both take their room at the armed start, so that a pass allocates
// nothing while it holds the game's lock. Only run-time FormIds (top byte 0xFF) are ever
// erased: the walk tests the key before anything else.
#pragma once

#include <cstdint>
#include <memory>

#include "cleaner/fixed_room_record.h"
#include "cleaner/runtime_id_bits.h"
#include "host/game_layout.h"
#include "report/pass_counters.h"

class ErasedFormIdRecord {
 public:
  // A bit for every run-time FormId, 2 MiB, zeroed. False when it cannot be had: no pass can
  // run without it.
  bool ReserveMembership() noexcept;
  bool HasMembership() const noexcept { return runtimeBits_ != nullptr; }
  // The walk order's room (FixedRoomRecord); false: the run has no list of erased forms.
  bool ReserveWalkOrder() noexcept { return walkOrder_.Reserve(); }

  // False for a FormId that is not run-time, and before the membership has its room.
  bool Contains(std::uint32_t formId) const noexcept {
    return IsRuntimeFormId(formId) && runtimeBits_ &&
           (runtimeBits_[RuntimeIdWord(formId)] & RuntimeIdBit(formId)) != 0;
  }
  // A run-time form, once the membership has its room. Allocates nothing: the membership
  // always learns it; true when the walk order recorded it too (false once its room is full).
  bool Append(const ErasedForm& form) noexcept {
    runtimeBits_[RuntimeIdWord(form.formId)] |= RuntimeIdBit(form.formId);
    return walkOrder_.Add(form);
  }

  // A pass starts: what it erases from now on is its section of the list.
  void StartPass() noexcept { walkOrder_.StartSection(); }
  ErasedFormsOfPass OfPass() const noexcept { return walkOrder_.Section(); }

 private:
  std::unique_ptr<std::uint64_t[]> runtimeBits_;
  FixedRoomRecord<ErasedForm> walkOrder_;
};

// Lives as long as the process and only grows: never cleared, shrunk or reordered.
extern ErasedFormIdRecord ErasedFormIds;
