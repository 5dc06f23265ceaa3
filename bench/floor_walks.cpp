#include "bench/floor_walks.h"

namespace bench {
namespace {

// The members the pass prefetches of an upcoming run-time form, whatever its type: the
// virtual table, FormId, base, hold link, attachment holder, marker holder B, marker holder
// A, parent object. Typed here: the benchmarks include no product header.
constexpr std::uintptr_t PrefetchedMembers[] = {0x00, 0x28, 0x98, 0xB8, 0xC8, 0xD8, 0x1D8, 0x2B0};
constexpr std::uintptr_t BaseObject = 0x98, FormId = 0x28, BaseRelatedForm = 0x130;
constexpr std::uintptr_t GetFormTypeEntry = 0x110;

bool IsRuntime(std::uint32_t formId) {
  return (formId & 0xFF000000u) == 0xFF000000u;
}

// What both walks do with every in-use slot: its FormId and its type code.
struct FormIdAndType {
  std::uint32_t formId;
  std::uint8_t type;
};

FormIdAndType ReadFormIdAndType(const void* form) {
  using GetFormTypeFn = std::uint64_t (*)(const void*);
  const auto* vtable = sim::Get<const unsigned char*>(form, 0);
  const auto getFormType = sim::Get<GetFormTypeFn>(vtable, GetFormTypeEntry);
  return {sim::Get<std::uint32_t>(form, FormId), static_cast<std::uint8_t>(getFormType(form))};
}

bool JudgedByThePass(const sim::TableSlot& slot, const ErasedIds& erased) {
  return slot.state != sim::EmptySlot && slot.form != nullptr && IsRuntime(slot.key) &&
         !erased.Has(slot.key);
}

}  // namespace

ErasedIds::ErasedIds() : bits_((std::size_t{1} << 24) / 64) {}

void ErasedIds::AddErasedForms(const sim::TableSlot* slots, std::uint64_t count) {
  for (std::uint64_t i = 0; i < count; ++i) {
    const sim::TableSlot& slot = slots[i];
    if (slot.state == sim::EmptySlot || slot.form == nullptr || !IsRuntime(slot.key)) continue;
    if ((sim::Get<std::uint8_t>(slot.form, sim::Member::SimFlags) & sim::FlagErased) == 0) continue;
    bits_[(slot.key & 0x00FFFFFF) >> 6] |= std::uint64_t{1} << (slot.key & 63);
  }
}

std::uint64_t NaiveFloorWalk(const sim::TableSlot* slots, std::uint64_t count) {
  std::uint64_t sum = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const sim::TableSlot& slot = slots[i];
    if (slot.state == sim::EmptySlot || slot.form == nullptr) continue;
    const FormIdAndType read = ReadFormIdAndType(slot.form);
    sum += read.formId + read.type;
  }
  return sum;
}

std::uint64_t SameLinesFloorWalk(const sim::TableSlot* slots, std::uint64_t count,
                                 const ErasedIds& erased, const FormBytesByType& formBytes,
                                 std::uint64_t prefetchDistance) {
  std::uint64_t sum = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (i + prefetchDistance < count && JudgedByThePass(slots[i + prefetchDistance], erased)) {
      const auto* ahead = static_cast<const char*>(slots[i + prefetchDistance].form);
      for (const std::uintptr_t member : PrefetchedMembers)
        __builtin_prefetch(ahead + member, 0, 3);
    }
    const sim::TableSlot& slot = slots[i];
    if (slot.state == sim::EmptySlot || slot.form == nullptr) continue;
    const FormIdAndType read = ReadFormIdAndType(slot.form);
    sum += read.formId + read.type;
    if (!JudgedByThePass(slot, erased)) continue;
    for (const std::uintptr_t member : PrefetchedMembers) {
      if (member + 8 <= formBytes[read.type]) sum += sim::Get<std::uint64_t>(slot.form, member);
    }
    const auto* base = sim::Get<const unsigned char*>(slot.form, BaseObject);
    if (base == nullptr) continue;
    const auto* related = sim::Get<const unsigned char*>(base, BaseRelatedForm);
    sum += sim::Get<std::uint32_t>(base, FormId);
    if (related != nullptr) sum += sim::Get<std::uint64_t>(related, 0);
  }
  return sum;
}

}  // namespace bench
