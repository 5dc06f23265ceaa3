// Fixed offsets from ModuleBase into the one supported game build. Every engine address the
// plugin uses is listed here; the layout of the objects behind them is in game_layout.h.
#pragma once

#include <cstdint>

#include "host/version_packing.h"

// The game build these offsets fit. The version record lists it as the one compatible game
// version, and the report names it.
inline constexpr std::uint32_t SupportedGameVersion = PackVersion({1, 15, 216, 0});

// Entry points are resolved in three ways, on purpose: at library initialisation (from the
// module base taken then), once on first use under thread-safe one-time initialisation, and
// afresh at each call. They differ in when ModuleBase is read for them; do not "tidy" an
// entry into another group (host/engine.cpp resolves each group).
namespace HostEntryTable {

// Engine data.
inline constexpr std::uintptr_t FormTableSlot = 0x5D40E18;
inline constexpr std::uintptr_t FormTableLock = 0x60BC25C;
inline constexpr std::uintptr_t OutpostMarkerSlot = 0x5DE91D0;
inline constexpr std::uintptr_t KeptFormSourceSlot = 0x5E200A0;
inline constexpr std::uintptr_t LoadGameEventSource = 0x58AD6C8;
inline constexpr std::uintptr_t CastSourceType = 0x58EA548;
inline constexpr std::uintptr_t CastTargetType = 0x5915E80;

// Engine functions resolved at library initialisation.
inline constexpr std::uintptr_t LookupFormById = 0x5D26A0;
inline constexpr std::uintptr_t GameDynamicCast = 0x36BC640;

// Engine functions resolved on first use.
inline constexpr std::uintptr_t LockFormTable = 0x224FE60;
inline constexpr std::uintptr_t UnlockFormTable = 0x2BE580;
inline constexpr std::uintptr_t FindAttachedList = 0x33F370;
inline constexpr std::uintptr_t MatchesMarker = 0x475F20;
inline constexpr std::uintptr_t AttachSink = 0x224C920;
inline constexpr std::uintptr_t DetachSink = 0x224CAB0;

// Engine functions resolved at each call.
inline constexpr std::uintptr_t GetKeptForm = 0xB3C640;
inline constexpr std::uintptr_t GetFormHolder = 0x209E4C0;
inline constexpr std::uintptr_t BeginErase = 0xBFDB40;
inline constexpr std::uintptr_t FinishErase = 0xC30AD0;
inline constexpr std::uintptr_t EraseVForm = 0x18085B0;
inline constexpr std::uintptr_t GetPlayerUpdateEventSource = 0x147DED0;

}  // namespace HostEntryTable
