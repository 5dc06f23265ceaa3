#include "cleaner/form_rules.h"

#include <optional>

#include "cleaner/erased_form_ids.h"
#include "cleaner/pass_tally.h"
#include "cleaner/reference_classification.h"
#include "host/engine.h"
#include "host/game_layout.h"
#include "host/guarded_members.h"
#include "host/guarded_read.h"

namespace {

constexpr std::uint8_t AttachedListKind = 0x80;

constexpr std::uint8_t TypeK = 'K';
constexpr std::uint8_t TypeJ = 'J';
constexpr std::uint8_t TypeV = 'V';
constexpr std::uint8_t TypeRelated8 = '8';

// Nothing keeps the form: the rules allow the erasure.
constexpr std::optional<KeptReason> Erase = std::nullopt;

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

// 'K': a base that is neither FormId 7 nor loaded (unless its related form is an '8').
std::optional<KeptReason> ReasonToKeepK(const GameForm* form) {
  if (HoldLink(form) != nullptr) return KeptReason::KHoldLink;
  const GameForm* base = BaseObject(form);
  if (base == nullptr) return KeptReason::KNoBase;
  if (FormIdOf(base) == ExcludedBaseFormId) return KeptReason::KBaseSeven;
  if (!IsRuntimeForm(base)) {
    const GameForm* related = BaseRelatedForm(base);
    if (related == nullptr || GetFormType(related) != TypeRelated8) {
      return KeptReason::KLoadedBaseWithoutEight;
    }
  }
  if (CountAttachedItems(form) != 0) return KeptReason::KNamedAttachedItems;
  return Erase;
}

// 'J': a run-time base, no allowance.
std::optional<KeptReason> ReasonToKeepJ(const GameForm* form) {
  if (HoldLink(form) != nullptr) return KeptReason::JHoldLink;
  const GameForm* base = BaseObject(form);
  if (base == nullptr) return KeptReason::JNoBase;
  if (!IsRuntimeForm(base)) return KeptReason::JLoadedBase;
  if (CountAttachedItems(form) != 0) return KeptReason::JNamedAttachedItems;
  return Erase;
}

// `outpost` learns whether a form the rules let go is an outpost (erased by bEraseOutposts=1).
std::optional<KeptReason> ReasonToKeepV(const GameForm* form, const PassInputs& inputs,
                                        bool& outpost) {
  if (form == inputs.keptFormA || form == inputs.keptFormB) return KeptReason::VKeptForm;
  switch (ClassifyReference(form, inputs.outpostMarker, inputs.listMarkerForm)) {
    case ReferenceCategory::ListMarked:
      return KeptReason::VListMarked;
    case ReferenceCategory::Outpost:
      if (!inputs.eraseOutposts) return KeptReason::VOutpost;
      outpost = true;
      return Erase;
    case ReferenceCategory::None:
      return Erase;
  }
  return KeptReason::VListMarked;  // no other category exists: keep rather than guess
}

// 'K' and 'J' forms are erased in two steps, unless something in the game holds them.
void EraseWithBase(GameForm* form, const ErasedForm& erased, PassTally& tally) {
  if (GetFormHolder(form) != 0) {
    tally.Kept(erased.type == ErasedType::K ? KeptReason::KHeldByGame : KeptReason::JHeldByGame,
               erased.formId, erased.unreadable);
    return;
  }
  // Recorded before the engine sees the first erase call.
  const bool listed = ErasedFormIds.Append(erased);
  BeginErase(form);
  FinishErase(form);
  tally.Erased(erased, listed);
}

void EraseV(GameForm* form, const ErasedForm& erased, PassTally& tally) {
  const bool listed = ErasedFormIds.Append(erased);
  EraseVForm(form);
  tally.Erased(erased, listed);
}

}  // namespace

void VisitSlot(std::uint32_t key, GameForm* form, const PassInputs& inputs, PassTally& tally) {
  // Key tests first: they need no engine memory, and the key equals the form's FormId
  // whenever the slot is acted on.
  if (!IsRuntimeFormId(key)) return;
  if (ErasedFormIds.Contains(key)) return tally.AlreadyErased(key);
  if (form == nullptr || FormIdOf(form) != key) {
    return tally.Kept(KeptReason::NoFormOrKeyMismatch, key);
  }
  // The rules read the guarded members only; a change of this count while they judge the
  // form means one of them was unreadable.
  const std::uint64_t faultsBefore = AbsorbedFaultCount();
  std::optional<KeptReason> reason;
  ErasedForm erased{key, ErasedType::K, false, false};
  switch (GetFormType(form)) {
    case TypeK:
      reason = ReasonToKeepK(form);
      break;
    case TypeJ:
      reason = ReasonToKeepJ(form);
      erased.type = ErasedType::J;
      break;
    case TypeV:
      reason = ReasonToKeepV(form, inputs, erased.outpost);
      erased.type = ErasedType::V;
      break;
    default:
      return tally.Kept(KeptReason::NotCleanedType, key);
  }
  erased.unreadable = AbsorbedFaultCount() != faultsBefore;
  if (reason) return tally.Kept(*reason, key, erased.unreadable);
  if (erased.type == ErasedType::V) return EraseV(form, erased, tally);
  EraseWithBase(form, erased, tally);
}
