#include "host/engine.h"

#include <windows.h>

#include "host/host_entry_table.h"

// ModuleBase and the two entry points fixed at start live in this one translation unit on
// purpose: within it, static initialisation runs in order of definition, so the entry points
// are computed from ModuleBase after it is set. Across translation units the order would be
// unspecified and they could be computed from 0.

// Every entry point is the game's load address plus a fixed offset: the casts between
// addresses and integers below are the plugin's one road into the game's code.
// NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast,performance-no-int-to-ptr)

// Taken at library initialisation; VKRXPlugin_Load takes it again before any engine call.
// NOLINTNEXTLINE(cert-err58-cpp): GetModuleHandleA is a C function; it cannot throw.
std::uintptr_t ModuleBase = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));

namespace {

using LookupFormByIdFn = GameForm* (*)(std::uint32_t);
// The two zero arguments are 64-bit on purpose: a 32-bit fifth argument would be a 4-byte
// store into its 8-byte stack slot, leaving the upper half as whatever was there. Full
// zeros are right whatever width the game's function reads.
using GameDynamicCastFn = void* (*)(void*, std::uint64_t, void*, void*, std::uint64_t);
using LockFn = void (*)(void*);
using FindAttachedListFn = void* (*)(void*, std::uint8_t);
// The engine returns an 8-bit bool; the wider type lets the plugin mask off whatever the
// engine left above it.
using MatchesMarkerFn = std::uint64_t (*)(void*, void*);
using SinkFn = void (*)(void*, void*);
using GetKeptFormFn = GameForm* (*)(void*);
using GetFormHolderFn = std::uint64_t (*)(GameForm*, std::uint8_t, void*, void*);
using BeginEraseFn = void (*)(GameForm*, std::uint64_t);
using FinishEraseFn = void (*)(void*, void*, GameForm*);
using EraseVFormFn = void (*)(GameForm*);
using GetEventSourceFn = void* (*)();

// Resolved at library initialisation, from the module base taken above.
const auto lookupFormByIdEntry =
    reinterpret_cast<LookupFormByIdFn>(ModuleBase + HostEntryTable::LookupFormById);
const auto gameDynamicCastEntry =
    reinterpret_cast<GameDynamicCastFn>(ModuleBase + HostEntryTable::GameDynamicCast);

// One thread-safe, once-per-process resolution for each entry point resolved on first use.
template <class Fn, std::uintptr_t Offset>
Fn ResolvedOnFirstUse() {
  static const Fn entry = reinterpret_cast<Fn>(ModuleBase + Offset);
  return entry;
}

template <class Fn>
Fn ResolvedNow(std::uintptr_t offset) {
  return reinterpret_cast<Fn>(ModuleBase + offset);
}
// NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast,performance-no-int-to-ptr)

}  // namespace

GameForm* LookupFormById(std::uint32_t formId) {
  return lookupFormByIdEntry(formId);
}

void* GameDynamicCast(void* object, void* sourceType, void* targetType) {
  return gameDynamicCastEntry(object, 0, sourceType, targetType, 0);
}

void LockFormTable(void* lock) {
  ResolvedOnFirstUse<LockFn, HostEntryTable::LockFormTable>()(lock);
}

void UnlockFormTable(void* lock) {
  ResolvedOnFirstUse<LockFn, HostEntryTable::UnlockFormTable>()(lock);
}

void* FindAttachedList(void* holder, std::uint8_t kind) {
  return ResolvedOnFirstUse<FindAttachedListFn, HostEntryTable::FindAttachedList>()(holder, kind);
}

bool MatchesMarker(void* item, void* marker) {
  const auto result =
      ResolvedOnFirstUse<MatchesMarkerFn, HostEntryTable::MatchesMarker>()(item, marker);
  return (result & 0xFF) != 0;
}

void AttachSink(void* eventSource, void* sink) {
  ResolvedOnFirstUse<SinkFn, HostEntryTable::AttachSink>()(eventSource, sink);
}

void DetachSink(void* eventSource, void* sink) {
  ResolvedOnFirstUse<SinkFn, HostEntryTable::DetachSink>()(eventSource, sink);
}

GameForm* GetKeptForm(void* source) {
  if (source == nullptr) return nullptr;
  return ResolvedNow<GetKeptFormFn>(HostEntryTable::GetKeptForm)(source);
}

std::uint64_t GetFormHolder(GameForm* form) {
  if (form == nullptr) return 0;
  return ResolvedNow<GetFormHolderFn>(HostEntryTable::GetFormHolder)(form, 1, nullptr, nullptr);
}

void BeginErase(GameForm* form) {
  if (form == nullptr) return;
  ResolvedNow<BeginEraseFn>(HostEntryTable::BeginErase)(form, 0);
}

void FinishErase(GameForm* form) {
  if (form == nullptr) return;
  ResolvedNow<FinishEraseFn>(HostEntryTable::FinishErase)(nullptr, nullptr, form);
}

void EraseVForm(GameForm* form) {
  if (form == nullptr) return;
  ResolvedNow<EraseVFormFn>(HostEntryTable::EraseVForm)(form);
}

void* GetPlayerUpdateEventSource() {
  return ResolvedNow<GetEventSourceFn>(HostEntryTable::GetPlayerUpdateEventSource)();
}
