// The game's objects as the plugin reads them, for the one game build of host_entry_table.h:
// every member offset, the FormTable's slots and the counted lists. Plain reads only; the
// members that may lie on unreadable memory are read through guarded_members.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct GameForm;  // The engine's data object; opaque, read only at the offsets below.

// The game marks the forms it created at run time by the top byte 0xFF of their FormId.
inline constexpr bool IsRuntimeFormId(std::uint32_t formId) {
  return (formId & 0xFF000000U) == 0xFF000000U;
}

// Forms the rules name by FormId (the report names them too): the form whose FormId a 'V'
// form's parent lists to be kept for good, and the base that keeps a 'K' form.
inline constexpr std::uint32_t ListMarkerFormId = 0x0020C59F;
inline constexpr std::uint32_t ExcludedBaseFormId = 0x00000007;

namespace GameLayout {

// Any GameForm.
inline constexpr std::uintptr_t VirtualTable = 0x00;
inline constexpr std::uintptr_t FormId = 0x28;             // u32
inline constexpr std::uintptr_t GetFormTypeEntry = 0x110;  // slot 34 of the virtual table

// 'K' and 'J' forms.
inline constexpr std::uintptr_t BaseObject = 0x98;        // guarded
inline constexpr std::uintptr_t HoldLink = 0xB8;          // guarded
inline constexpr std::uintptr_t AttachmentHolder = 0xC8;  // plain

// A base object; KeptFormA.
inline constexpr std::uintptr_t BaseRelatedForm = 0x130;  // guarded
inline constexpr std::uintptr_t KeptFormB = 0x1F0;        // guarded

// 'V' forms.
inline constexpr std::uintptr_t MarkerHolderB = 0xD8;   // guarded
inline constexpr std::uintptr_t MarkerHolderA = 0x1D8;  // guarded
inline constexpr std::uintptr_t ParentObject = 0x2B0;   // guarded

// The FormTable object that FormTableSlot points to.
inline constexpr std::uintptr_t TableSlots = 0x10;          // pointer to the slot array
inline constexpr std::uintptr_t TableSlotCount = 0x18;      // u64
inline constexpr std::uintptr_t TableEmptinessWord = 0x20;  // u32

// Counted lists: a 32-bit count, then a pointer to the entries.
inline constexpr std::uintptr_t IdListCount = 0x170, IdListEntries = 0x178;        // a ParentObject
inline constexpr std::uintptr_t CastListCount = 0x20, CastListEntries = 0x28;      // cast parent
inline constexpr std::uintptr_t MarkerItemCount = 0x78, MarkerItemEntries = 0x80;  // holders
inline constexpr std::uintptr_t AttachedCount = 0x18, AttachedEntries = 0x20;      // attached block

}  // namespace GameLayout

// Plain read of an engine object's member. The caller guarantees a non-null object.
template <class T>
T ReadMember(const void* object, std::uintptr_t offset) {
  T value;
  // NOLINTNEXTLINE(bugprone-sizeof-expression): T is often a pointer, the member's own type
  std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof value);
  return value;
}

inline std::uint32_t FormIdOf(const GameForm* form) {
  return ReadMember<std::uint32_t>(form, GameLayout::FormId);
}

// Calls the form's virtual GetFormType through its raw table, as the engine's own callers do
// (never through a C++ declaration: GCC would lay the table out differently). Only the low
// 8 bits of the result are defined.
inline std::uint8_t GetFormType(const GameForm* form) {
  using GetFormTypeFn = std::uint64_t (*)(const GameForm*);
  const auto* table = ReadMember<const unsigned char*>(form, GameLayout::VirtualTable);
  const auto getFormType = ReadMember<GetFormTypeFn>(table, GameLayout::GetFormTypeEntry);
  return static_cast<std::uint8_t>(getFormType(form) & 0xFF);
}

// One 24-byte slot of the FormTable's array.
struct FormTableSlotEntry {
  std::uint32_t key;  // +0x00
  std::uint32_t unread0;
  GameForm* form;       // +0x08
  std::uint32_t state;  // +0x10; EmptySlotState marks an empty slot
  std::uint32_t unread1;
};
static_assert(sizeof(FormTableSlotEntry) == 24);
static_assert(offsetof(FormTableSlotEntry, form) == 0x08);
static_assert(offsetof(FormTableSlotEntry, state) == 0x10);

inline constexpr std::uint32_t EmptySlotState = 0xFFFFFFFF;

struct FormTableView {
  const void* table;

  const FormTableSlotEntry* Slots() const {
    return ReadMember<const FormTableSlotEntry*>(table, GameLayout::TableSlots);
  }
  std::uint64_t SlotCount() const {
    return ReadMember<std::uint64_t>(table, GameLayout::TableSlotCount);
  }
  // The engine's own word: the table holds nothing when it equals the low 32 bits of the count.
  std::uint32_t EmptinessWord() const {
    return ReadMember<std::uint32_t>(table, GameLayout::TableEmptinessWord);
  }
};

// One 24-byte entry of an attached list; the rest of the entry is not read.
struct AttachedListEntry {
  const void* item;   // +0x00
  const void* namer;  // +0x08
  std::uint64_t unread;
};
static_assert(sizeof(AttachedListEntry) == 24);

template <class Entry>
struct CountedList {
  std::uint32_t count = 0;
  const Entry* entries = nullptr;
};

template <class Entry>
CountedList<Entry> ReadCountedList(const void* object, std::uintptr_t countOffset,
                                   std::uintptr_t entriesOffset) {
  CountedList<Entry> list{ReadMember<std::uint32_t>(object, countOffset),
                          ReadMember<const Entry*>(object, entriesOffset)};
  if (list.entries == nullptr) list.count = 0;  // a count without entries holds nothing
  return list;
}

// The FormIds a ParentObject names.
inline CountedList<std::uint32_t> IdList(const void* parentObject) {
  return ReadCountedList<std::uint32_t>(parentObject, GameLayout::IdListCount,
                                        GameLayout::IdListEntries);
}
// The forms of a ParentObject seen as the cast's target class.
inline CountedList<const GameForm*> CastList(const void* castParent) {
  return ReadCountedList<const GameForm*>(castParent, GameLayout::CastListCount,
                                          GameLayout::CastListEntries);
}
// The items of a form named by an IdList, or of a marker holder.
inline CountedList<void*> MarkerItems(const void* holder) {
  return ReadCountedList<void*>(holder, GameLayout::MarkerItemCount, GameLayout::MarkerItemEntries);
}
// The entries of the block FindAttachedList returns.
inline CountedList<AttachedListEntry> AttachedList(const void* block) {
  return ReadCountedList<AttachedListEntry>(block, GameLayout::AttachedCount,
                                            GameLayout::AttachedEntries);
}
