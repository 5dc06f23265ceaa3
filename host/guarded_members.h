// Engine members that are read through the fault-absorbing load: a null object, or a
// read that faults while a FaultAbsorberScope is alive, gives null.
#pragma once

#include "host/game_layout.h"
#include "host/guarded_read.h"

inline GameForm* BaseObject(const GameForm* form) {
  return static_cast<GameForm*>(GuardedReadPointer(form, GameLayout::BaseObject));
}
inline void* HoldLink(const GameForm* form) {
  return GuardedReadPointer(form, GameLayout::HoldLink);
}
inline GameForm* BaseRelatedForm(const GameForm* base) {
  return static_cast<GameForm*>(GuardedReadPointer(base, GameLayout::BaseRelatedForm));
}
inline GameForm* KeptFormB(const GameForm* keptFormA) {
  return static_cast<GameForm*>(GuardedReadPointer(keptFormA, GameLayout::KeptFormB));
}
inline void* ParentObject(const GameForm* form) {
  return GuardedReadPointer(form, GameLayout::ParentObject);
}
inline void* MarkerHolderA(const GameForm* form) {
  return GuardedReadPointer(form, GameLayout::MarkerHolderA);
}
inline void* MarkerHolderB(const GameForm* form) {
  return GuardedReadPointer(form, GameLayout::MarkerHolderB);
}
