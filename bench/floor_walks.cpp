#include "bench/floor_walks.h"

#include <algorithm>

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

// As asm, like the pass's: GCC may drop __builtin_prefetch from code it finds pure. One form
// at a time into the L1, as the pass did; in bursts into the L2, as it does now.
void PrefetchMembers(const void* form, bool intoL2) {
  const auto* bytes = static_cast<const char*>(form);
  for (const std::uintptr_t member : PrefetchedMembers) {
    if (intoL2) {
      asm volatile("prefetcht1 %0" : : "m"(*(bytes + member)));
    } else {
      asm volatile("prefetcht0 %0" : : "m"(*(bytes + member)));
    }
  }
}

// The pass's burst: the forms it will judge among the slots from `first` on, their members
// asked for together. Returns the first slot not looked at.
std::uint64_t PrefetchBurst(const sim::TableSlot* slots, std::uint64_t first, std::uint64_t count,
                            const ErasedIds& erased, const PrefetchScheme& prefetch) {
  const void* forms[MaxBurstForms];
  const std::uint64_t most = std::min(prefetch.burstForms, MaxBurstForms);
  const std::uint64_t end = std::min(count, first + prefetch.burstSlots);
  std::uint64_t found = 0, next = first;
  for (; next < end && found < most; ++next) {
    if (JudgedByThePass(slots[next], erased)) forms[found++] = slots[next].form;
  }
  for (std::uint64_t i = 0; i < found; ++i) PrefetchMembers(forms[i], true);
  return next;
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
                                 const PrefetchScheme& prefetch) {
  std::uint64_t sum = 0;
  std::uint64_t scouted = 0, nextBurstAt = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (prefetch.burstForms == 0) {
      const std::uint64_t ahead = i + prefetch.distance;
      if (ahead < count && JudgedByThePass(slots[ahead], erased))
        PrefetchMembers(slots[ahead].form, false);
    } else if (i >= nextBurstAt) {
      scouted = std::max(scouted, i + 1);
      nextBurstAt = scouted;
      scouted = PrefetchBurst(slots, scouted, count, erased, prefetch);
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
