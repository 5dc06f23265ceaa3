// The run-time forms one pass kept by a rule, with the rule and whether their data was
// readable, for the list of kept forms. The room is taken once, at the armed start: a pass
// allocates nothing and cannot fail for it. Once full, recording stops and the pass goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "report/pass_counters.h"

class KeptFormRecord {
 public:
  // Room for the largest tables in view: 2^21 slots, 71.5% of them in use, half the forms
  // created at run time, all kept (8 MiB). When memory is short, less is taken, down to
  // MinimumCapacity; false when not even that can be had (the run has no list of kept forms).
  static constexpr std::size_t Capacity = std::size_t{1} << 20;
  static constexpr std::size_t MinimumCapacity = std::size_t{1} << 12;
  bool Reserve() noexcept;

  // A pass starts, or its walk starts again: what was recorded is forgotten.
  void Clear() noexcept {
    size_ = 0;
    full_ = false;
  }
  void Add(const KeptForm& form) noexcept {
    if (size_ < capacity_) {
      forms_[size_++] = form;
    } else if (!full_) {
      full_ = true;
      firstUnrecorded_ = form.formId;
    }
  }
  KeptFormsOfPass OfPass() const noexcept;

 private:
  std::unique_ptr<KeptForm[]> forms_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  bool full_ = false;
  std::uint32_t firstUnrecorded_ = 0;
};

// One pass at a time: nothing between the passes reads it.
extern KeptFormRecord KeptForms;
