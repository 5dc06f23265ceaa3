// The forms the cleaning passes have erased, in walk order (FormId and kind in one entry),
// with a constant-time membership test by FormId beside them: the second pass asks for every
// run-time slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "report/pass_counters.h"

class ErasedFormIdRecord {
 public:
  bool Contains(std::uint32_t formId) const;
  // Strong guarantee: if memory runs out, the record is unchanged and bad_alloc leaves.
  void Append(const ErasedForm& form);
  const std::vector<ErasedForm>& InWalkOrder() const { return walkOrder_; }

 private:
  std::vector<ErasedForm> walkOrder_;
  // Run-time FormIds (top byte 0xFF, the only ones a pass erases) have 2^24 possible low
  // parts: one bit each, 2 MiB, allocated with the first of them.
  std::unique_ptr<std::uint64_t[]> runtimeBits_;
  std::unordered_set<std::uint32_t> otherIds_;
};

// Lives as long as the process: never cleared, shrunk or reordered.
extern ErasedFormIdRecord ErasedFormIds;
