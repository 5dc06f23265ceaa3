#include "cleaner/erased_form_ids.h"

#include "host/game_layout.h"

ErasedFormIdRecord ErasedFormIds;

namespace {

constexpr std::size_t RuntimeBitWords = (std::size_t{1} << 24) / 64;
std::size_t Word(std::uint32_t formId) {
  return (formId & 0x00FFFFFF) >> 6;
}
std::uint64_t Bit(std::uint32_t formId) {
  return std::uint64_t{1} << (formId & 63);
}

}  // namespace

bool ErasedFormIdRecord::Contains(std::uint32_t formId) const {
  if (IsRuntimeFormId(formId)) {
    return runtimeBits_ && (runtimeBits_[Word(formId)] & Bit(formId)) != 0;
  }
  return otherIds_.count(formId) != 0;
}

void ErasedFormIdRecord::Append(std::uint32_t formId) {
  if (walkOrder_.size() == walkOrder_.capacity()) {
    walkOrder_.reserve(walkOrder_.empty() ? 1024 : walkOrder_.size() * 2);
  }
  if (IsRuntimeFormId(formId)) {
    if (!runtimeBits_) runtimeBits_ = std::make_unique<std::uint64_t[]>(RuntimeBitWords);
    runtimeBits_[Word(formId)] |= Bit(formId);
  } else {
    otherIds_.insert(formId);
  }
  walkOrder_.push_back(formId);  // cannot throw: capacity reserved above
}
