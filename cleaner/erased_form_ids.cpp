#include "cleaner/erased_form_ids.h"

#include "cleaner/runtime_id_bits.h"
#include "host/game_layout.h"

ErasedFormIdRecord ErasedFormIds;

bool ErasedFormIdRecord::Contains(std::uint32_t formId) const {
  if (IsRuntimeFormId(formId)) {
    return runtimeBits_ && (runtimeBits_[RuntimeIdWord(formId)] & RuntimeIdBit(formId)) != 0;
  }
  return otherIds_.contains(formId);
}

void ErasedFormIdRecord::Append(const ErasedForm& form) {
  const std::uint32_t formId = form.formId;
  if (walkOrder_.size() == walkOrder_.capacity()) {
    walkOrder_.reserve(walkOrder_.empty() ? 1024 : walkOrder_.size() * 2);
  }
  if (IsRuntimeFormId(formId)) {
    if (!runtimeBits_) runtimeBits_ = std::make_unique<std::uint64_t[]>(RuntimeIdWords);
    runtimeBits_[RuntimeIdWord(formId)] |= RuntimeIdBit(formId);
  } else {
    otherIds_.insert(formId);
  }
  walkOrder_.push_back(form);  // cannot throw: capacity reserved above
}
