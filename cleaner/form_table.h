// The game's FormTable as the cleaning pass reads it: an array of 24-byte slots.
#pragma once

#include <cstdint>

#include "host/engine.h"

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
    return ReadMember<const FormTableSlotEntry*>(table, 0x10);
  }
  std::uint64_t SlotCount() const { return ReadMember<std::uint64_t>(table, 0x18); }
  // The engine's own word that the table holds nothing when it equals the low count.
  std::uint32_t EmptinessWord() const { return ReadMember<std::uint32_t>(table, 0x20); }
};
