// Where the one supported game build (1.15.216.0) keeps what the plugin uses, as offsets from
// the game executable's load address.
#pragma once

#include <stdint.h>

namespace GameOffset {

// Engine data: the plugin reads the pointers in the slots, or passes the address on.
inline constexpr uint64_t FormTableSlot = 0x5D40E18;
inline constexpr uint64_t FormTableLock = 0x60BC25C;
inline constexpr uint64_t OutpostMarkerSlot = 0x5DE91D0;
inline constexpr uint64_t KeptFormSourceSlot = 0x5E200A0;
inline constexpr uint64_t LoadGameEventSource = 0x58AD6C8;
inline constexpr uint64_t CastSourceType = 0x58EA548;
inline constexpr uint64_t CastTargetType = 0x5915E80;

// Engine functions.
inline constexpr uint64_t LookupFormById = 0x5D26A0;
inline constexpr uint64_t GameDynamicCast = 0x36BC640;
inline constexpr uint64_t LockFormTable = 0x224FE60;
inline constexpr uint64_t UnlockFormTable = 0x2BE580;
inline constexpr uint64_t GetKeptForm = 0xB3C640;
inline constexpr uint64_t GetFormHolder = 0x209E4C0;
inline constexpr uint64_t BeginErase = 0xBFDB40;
inline constexpr uint64_t FinishErase = 0xC30AD0;
inline constexpr uint64_t EraseVForm = 0x18085B0;
inline constexpr uint64_t FindAttachedList = 0x33F370;
inline constexpr uint64_t MatchesMarker = 0x475F20;
inline constexpr uint64_t AttachSink = 0x224C920;
inline constexpr uint64_t DetachSink = 0x224CAB0;
inline constexpr uint64_t GetPlayerUpdateEventSource = 0x147DED0;

inline constexpr uint64_t All[] = {
    FormTableSlot,      FormTableLock,       OutpostMarkerSlot,
    KeptFormSourceSlot, LoadGameEventSource, CastSourceType,
    CastTargetType,     LookupFormById,      GameDynamicCast,
    LockFormTable,      UnlockFormTable,     GetKeptForm,
    GetFormHolder,      BeginErase,          FinishErase,
    EraseVForm,         FindAttachedList,    MatchesMarker,
    AttachSink,         DetachSink,          GetPlayerUpdateEventSource};

}  // namespace GameOffset
