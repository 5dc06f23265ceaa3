#include "cleaner/form_rules.h"

#include "cleaner/erased_form_ids.h"
#include "cleaner/reference_classification.h"
#include "host/engine.h"
#include "host/game_layout.h"
#include "host/guarded_members.h"

namespace {

constexpr std::uint32_t ExcludedBaseFormId = 0x00000007;
constexpr std::uint8_t AttachedListKind = 0x80;

constexpr std::uint8_t TypeK = 'K';
constexpr std::uint8_t TypeJ = 'J';
constexpr std::uint8_t TypeV = 'V';
constexpr std::uint8_t TypeRelated8 = '8';

// True for a form the game created at run time; false for null.
bool IsRuntimeForm(const GameForm* form) {
  return form != nullptr && IsRuntimeFormId(FormIdOf(form));
}

// Entries of the form's attached list (kind 0x80) whose item and namer are both set.
std::uint32_t CountAttachedItems(const GameForm* form) {
  void* holder = ReadMember<void*>(form, GameLayout::AttachmentHolder);
  if (holder == nullptr) return 0;
  const void* block = FindAttachedList(holder, AttachedListKind);
  if (block == nullptr) return 0;
  const auto list = AttachedList(block);
  std::uint32_t named = 0;
  for (std::uint32_t i = 0; i < list.count; ++i) {
    if (list.entries[i].item != nullptr && list.entries[i].namer != nullptr) ++named;
  }
  return named;
}

void EraseWithBase(GameForm* form, std::uint32_t formId) {
  if (GetFormHolder(form) != 0) return;
  ErasedFormIds.Append(formId);  // recorded before the engine sees the first erase call
  BeginErase(form);
  FinishErase(form);
}

// 'K': a base that is neither FormId 7 nor loaded (unless its related form is an '8').
bool MayEraseK(const GameForm* form) {
  if (HoldLink(form) != nullptr) return false;
  const GameForm* base = BaseObject(form);
  if (base == nullptr || FormIdOf(base) == ExcludedBaseFormId) return false;
  if (!IsRuntimeForm(base)) {
    const GameForm* related = BaseRelatedForm(base);
    if (related == nullptr || GetFormType(related) != TypeRelated8) return false;
  }
  return CountAttachedItems(form) == 0;
}

// 'J': a run-time base, no allowance.
bool MayEraseJ(const GameForm* form) {
  if (HoldLink(form) != nullptr) return false;
  const GameForm* base = BaseObject(form);
  if (base == nullptr || !IsRuntimeForm(base)) return false;
  return CountAttachedItems(form) == 0;
}

bool MayEraseV(const GameForm* form, const PassInputs& inputs) {
  if (form == inputs.keptFormA || form == inputs.keptFormB) return false;
  switch (ClassifyReference(form, inputs.outpostMarker, inputs.listMarkerForm)) {
    case ReferenceCategory::ListMarked:
      return false;
    case ReferenceCategory::Outpost:
      return inputs.eraseOutposts;
    case ReferenceCategory::None:
      return true;
  }
  return false;
}

}  // namespace

void VisitSlot(std::uint32_t key, GameForm* form, const PassInputs& inputs) {
  // Key tests first: they need no engine memory, and the key equals the form's FormId
  // whenever the slot is acted on.
  if (!IsRuntimeFormId(key) || ErasedFormIds.Contains(key)) return;
  if (form == nullptr || FormIdOf(form) != key) return;
  switch (GetFormType(form)) {
    case TypeK:
      if (MayEraseK(form)) EraseWithBase(form, key);
      break;
    case TypeJ:
      if (MayEraseJ(form)) EraseWithBase(form, key);
      break;
    case TypeV:
      if (MayEraseV(form, inputs)) {
        ErasedFormIds.Append(key);
        EraseVForm(form);
      }
      break;
    default:
      break;
  }
}
