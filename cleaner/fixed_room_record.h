// Forms recorded in walk order for a list beside the report, in a room taken once, at the armed
// start: a pass allocates nothing for it and cannot fail for it. Once the room is full,
// recording stops and the pass goes on; the list then says from which form on it is missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "report/pass_counters.h"

template <class Form>
class FixedRoomRecord {
 public:
  // Room for the largest tables in view: 2^21 slots, 71.5% of them in use, half the forms
  // created at run time (8 MiB). When memory is short, less is taken, down to MinimumCapacity;
  // false when not even that can be had (the run has no such list).
  static constexpr std::size_t Capacity = std::size_t{1} << 20;
  static constexpr std::size_t MinimumCapacity = std::size_t{1} << 12;

  bool Reserve() noexcept {
    if (forms_) return true;
    for (std::size_t capacity = Capacity; capacity >= MinimumCapacity; capacity /= 2) {
      try {
        // Left uninitialised: the pages are touched only as forms are recorded.
        forms_ = std::make_unique_for_overwrite<Form[]>(capacity);
        capacity_ = capacity;
        return true;
      } catch (const std::bad_alloc&) {
        // Less, then.
      }
    }
    return false;
  }

  // What is recorded from now on is the new section's (a pass's, or a walk started again).
  void StartSection() noexcept {
    sectionStart_ = size_;
    full_ = false;
  }
  // Everything recorded is forgotten, and a section starts.
  void Clear() noexcept {
    size_ = 0;
    StartSection();
  }
  // True when the form was recorded; false once the room is full.
  bool Add(const Form& form) noexcept {
    if (size_ < capacity_) {
      forms_[size_++] = form;
      return true;
    }
    if (!full_) {
      full_ = true;
      firstUnrecorded_ = form.formId;
    }
    return false;
  }
  FormsOfPass<Form> Section() const noexcept {
    return {{forms_.get() + sectionStart_, size_ - sectionStart_},
            forms_ != nullptr,
            !full_,
            full_ ? firstUnrecorded_ : 0};
  }

 private:
  std::unique_ptr<Form[]> forms_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::size_t sectionStart_ = 0;
  bool full_ = false;  // in this section
  std::uint32_t firstUnrecorded_ = 0;
};
