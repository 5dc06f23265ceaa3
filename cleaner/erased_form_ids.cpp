#include "cleaner/erased_form_ids.h"

#include <new>

ErasedFormIdRecord ErasedFormIds;

bool ErasedFormIdRecord::ReserveMembership() noexcept {
  if (runtimeBits_) return true;
  try {
    runtimeBits_ = std::make_unique<std::uint64_t[]>(RuntimeIdWords);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
