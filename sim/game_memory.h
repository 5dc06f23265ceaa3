// The simulated game's memory as the simulator lays it out: the FormTable's slots, the
// member offsets of its objects, and plain reads and writes. These are the simulator's own
// copies of the game's layout, kept apart from the product's on purpose: a wrong offset in
// the product must not be mirrored here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace sim {

struct TableSlot {
  std::uint32_t key;
  std::uint32_t unused0;
  void* form;
  std::uint32_t state;  // EmptySlot: empty
  std::uint32_t unused1;
};
static_assert(sizeof(TableSlot) == 24);
inline constexpr std::uint32_t EmptySlot = 0xFFFFFFFF;

// Offsets of the game's objects that the simulator fills.
namespace Member {
inline constexpr std::uintptr_t FormId = 0x28;
inline constexpr std::uintptr_t SimFlags = 0x2C;  // simulator-only: held, erased
inline constexpr std::uintptr_t MarkerItemCount = 0x78, MarkerItems = 0x80;
inline constexpr std::uintptr_t BaseObject = 0x98, HoldLink = 0xB8, AttachmentHolder = 0xC8;
inline constexpr std::uintptr_t MarkerHolderB = 0xD8, BaseRelatedForm = 0x130;
inline constexpr std::uintptr_t IdListCount = 0x170, IdList = 0x178;
inline constexpr std::uintptr_t MarkerHolderA = 0x1D8, KeptFormB = 0x1F0;
inline constexpr std::uintptr_t ParentObject = 0x2B0;
inline constexpr std::uintptr_t CastListCount = 0x20, CastList = 0x28;
inline constexpr std::uintptr_t AttachedCount = 0x18, AttachedEntries = 0x20;
inline constexpr std::size_t FormBytes = 0x2C0;
}  // namespace Member

inline constexpr std::uint8_t FlagHeld = 1, FlagErased = 2;

template <class T>
void Put(void* object, std::uintptr_t offset, T value) {
  std::memcpy(static_cast<unsigned char*>(object) + offset, &value, sizeof value);
}
template <class T>
T Get(const void* object, std::uintptr_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof value);
  return value;
}

inline std::uint32_t FormIdAt(const void* form) {
  return Get<std::uint32_t>(form, Member::FormId);
}

}  // namespace sim
