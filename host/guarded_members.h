// Engine members that are read through the fault-absorbing load: a null object, or a
// read that faults while a FaultAbsorberScope is alive, gives null.
#pragma once

#include "host/engine.h"
#include "host/guarded_read.h"

namespace GuardedMemberOffset {
inline constexpr std::uintptr_t BaseObject = 0x98;        // of a 'K' or 'J' form
inline constexpr std::uintptr_t HoldLink = 0xB8;          // of a 'K' or 'J' form
inline constexpr std::uintptr_t BaseRelatedForm = 0x130;  // of a base object
inline constexpr std::uintptr_t KeptFormB = 0x1F0;        // of KeptFormA
inline constexpr std::uintptr_t ParentObject = 0x2B0;     // of a 'V' form
inline constexpr std::uintptr_t MarkerHolderA = 0x1D8;    // of a 'V' form
inline constexpr std::uintptr_t MarkerHolderB = 0xD8;     // of a 'V' form
}  // namespace GuardedMemberOffset

inline GameForm* BaseObject(const GameForm* form) {
  return static_cast<GameForm*>(GuardedReadPointer(form, GuardedMemberOffset::BaseObject));
}
inline void* HoldLink(const GameForm* form) {
  return GuardedReadPointer(form, GuardedMemberOffset::HoldLink);
}
inline GameForm* BaseRelatedForm(const GameForm* base) {
  return static_cast<GameForm*>(GuardedReadPointer(base, GuardedMemberOffset::BaseRelatedForm));
}
inline GameForm* KeptFormB(const GameForm* keptFormA) {
  return static_cast<GameForm*>(GuardedReadPointer(keptFormA, GuardedMemberOffset::KeptFormB));
}
inline void* ParentObject(const GameForm* form) {
  return GuardedReadPointer(form, GuardedMemberOffset::ParentObject);
}
inline void* MarkerHolderA(const GameForm* form) {
  return GuardedReadPointer(form, GuardedMemberOffset::MarkerHolderA);
}
inline void* MarkerHolderB(const GameForm* form) {
  return GuardedReadPointer(form, GuardedMemberOffset::MarkerHolderB);
}
