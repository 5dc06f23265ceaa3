#include "cleaner/cleaning_pass.h"

#include "cleaner/erased_form_ids.h"
#include "cleaner/form_table.h"
#include "cleaner/reference_classification.h"
#include "host/guarded_members.h"
#include "host/host_entry_table.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t ListMarkerFormId = 0x0020C59F;
constexpr std::uint32_t RuntimeMask = 0xFF000000;
constexpr std::uint32_t ExcludedBaseFormId = 0x00000007;
constexpr std::uint8_t AttachedListKind = 0x80;

constexpr std::uint8_t TypeK = 'K';
constexpr std::uint8_t TypeJ = 'J';
constexpr std::uint8_t TypeV = 'V';
constexpr std::uint8_t TypeRelated8 = '8';

struct PassInputs {
  void* outpostMarker;
  const GameForm* listMarkerForm;
  const GameForm* keptFormA;
  const GameForm* keptFormB;
};

bool IsRuntimeFormId(std::uint32_t formId) {
  return (formId & RuntimeMask) == RuntimeMask;
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
      return bEraseOutposts;
    case ReferenceCategory::None:
      return true;
  }
  return false;
}

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

// Never reads through an array the table no longer uses: when an erase call has moved the
// slot array, the walk starts again at its first slot (what was erased is skipped through
// ErasedFormIds). The end is computed afresh before every slot.
void WalkSlots(const FormTableView& table, const PassInputs& inputs) {
  const FormTableSlotEntry* slots = table.Slots();
  const FormTableSlotEntry* cursor = slots;
  for (;;) {
    const FormTableSlotEntry* current = table.Slots();
    if (current != slots) cursor = slots = current;
    if (slots == nullptr || cursor >= slots + table.SlotCount()) return;
    if (cursor->state != EmptySlotState) VisitSlot(cursor->key, cursor->form, inputs);
    ++cursor;
  }
}

}  // namespace

bool IsRuntimeForm(const GameForm* form) {
  return form != nullptr && IsRuntimeFormId(FormIdOf(form));
}

std::uint32_t CountAttachedItems(const GameForm* form) {
  void* holder = ReadMember<void*>(form, 0xC8);
  if (holder == nullptr) return 0;
  const void* block = FindAttachedList(holder, AttachedListKind);
  if (block == nullptr) return 0;
  const std::uint32_t count = ReadMember<std::uint32_t>(block, 0x18);
  const auto* entries = ReadMember<const unsigned char*>(block, 0x20);
  if (entries == nullptr) return 0;
  std::uint32_t named = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* entry = entries + std::size_t{i} * 24;
    if (ReadMember<void*>(entry, 0x00) != nullptr && ReadMember<void*>(entry, 0x08) != nullptr) {
      ++named;
    }
  }
  return named;
}

FormTableLockGuard::FormTableLockGuard(void* lock) : lock_(lock) {
  LockFormTable(lock_);
}

FormTableLockGuard::~FormTableLockGuard() {
  UnlockFormTable(lock_);
}

bool RunCleaningPass() {
  void* outpostMarker = ReadMember<void*>(EngineAddress(HostEntryTable::OutpostMarkerSlot), 0);
  if (outpostMarker == nullptr) return false;
  const GameForm* listMarkerForm = LookupFormById(ListMarkerFormId);
  if (listMarkerForm == nullptr) return false;

  const void* table = ReadMember<const void*>(EngineAddress(HostEntryTable::FormTableSlot), 0);
  FormTableLockGuard lock(EngineAddress(HostEntryTable::FormTableLock));
  if (table == nullptr) return false;
  const FormTableView view{table};
  if (static_cast<std::uint32_t>(view.SlotCount()) == view.EmptinessWord()) return false;
  void* keptSource = ReadMember<void*>(EngineAddress(HostEntryTable::KeptFormSourceSlot), 0);
  if (keptSource == nullptr) return false;

  // Faults on guarded members are absorbed only while this pass walks.
  const FaultAbsorberScope absorber;
  if (!absorber.Installed()) return false;
  const GameForm* keptFormA = GetKeptForm(keptSource);
  const PassInputs inputs{outpostMarker, listMarkerForm, keptFormA, KeptFormB(keptFormA)};
  WalkSlots(view, inputs);
  return true;
}
