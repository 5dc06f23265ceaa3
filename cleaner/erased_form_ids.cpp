#include "cleaner/erased_form_ids.h"

ErasedFormIdRecord ErasedFormIds;

namespace {

std::size_t HomeCell(std::uint32_t formId, std::size_t mask) {
  // Fibonacci hashing spreads FormIds that differ only in their low bits.
  return static_cast<std::size_t>((formId * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

void Insert(std::vector<std::uint32_t>& index, std::uint32_t formId) {
  const std::size_t mask = index.size() - 1;
  std::size_t cell = HomeCell(formId, mask);
  while (index[cell] != 0) cell = (cell + 1) & mask;
  index[cell] = formId;
}

}  // namespace

bool ErasedFormIdRecord::Contains(std::uint32_t formId) const {
  if (index_.empty() || formId == 0) return false;
  const std::size_t mask = index_.size() - 1;
  for (std::size_t cell = HomeCell(formId, mask);; cell = (cell + 1) & mask) {
    if (index_[cell] == formId) return true;
    if (index_[cell] == 0) return false;
  }
}

void ErasedFormIdRecord::GrowIndex() {
  std::vector<std::uint32_t> grown(index_.empty() ? 1024 : index_.size() * 2, 0);
  for (const std::uint32_t formId : walkOrder_) Insert(grown, formId);
  index_.swap(grown);
}

void ErasedFormIdRecord::Append(std::uint32_t formId) {
  if (walkOrder_.size() == walkOrder_.capacity()) {
    walkOrder_.reserve(walkOrder_.empty() ? 1024 : walkOrder_.size() * 2);
  }
  // Keep the index at most half full so that probes stay short.
  if ((walkOrder_.size() + 1) * 2 > index_.size()) GrowIndex();
  walkOrder_.push_back(formId);  // cannot throw: capacity reserved above
  if (formId != 0) Insert(index_, formId);
}
