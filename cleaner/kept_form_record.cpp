#include "cleaner/kept_form_record.h"

#include <new>

KeptFormRecord KeptForms;

bool KeptFormRecord::Reserve() noexcept {
  if (forms_) return true;
  for (std::size_t capacity = Capacity; capacity >= MinimumCapacity; capacity /= 2) {
    try {
      // Left uninitialised: the pages are touched only as forms are recorded.
      forms_ = std::make_unique_for_overwrite<KeptForm[]>(capacity);
      capacity_ = capacity;
      return true;
    } catch (const std::bad_alloc&) {
      // Less, then.
    }
  }
  return false;
}

KeptFormsOfPass KeptFormRecord::OfPass() const noexcept {
  return {{forms_.get(), size_}, forms_ != nullptr, !full_, firstUnrecorded_};
}
