// The FormIds the cleaning passes have erased, in walk order, with a constant-time
// membership test beside them: the second pass asks for every run-time slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ErasedFormIdRecord {
 public:
  bool Contains(std::uint32_t formId) const;
  // Strong guarantee: if memory runs out, the record is unchanged and bad_alloc leaves.
  void Append(std::uint32_t formId);
  const std::vector<std::uint32_t>& InWalkOrder() const { return walkOrder_; }

 private:
  void GrowIndex();

  std::vector<std::uint32_t> walkOrder_;
  // Open addressing, power-of-two size, 0 marks a free cell (0 is never run-time-created).
  std::vector<std::uint32_t> index_;
};

// Lives as long as the process: never cleared, shrunk or reordered.
extern ErasedFormIdRecord ErasedFormIds;
