// The simulated game executable: a zeroed array inside this program's own image that
// covers every fixed offset the plugin uses, so ModuleBase + offset lands in memory the
// simulator controls.
#pragma once

#include <cstdint>

namespace sim {

// The game's own entry points, as the one supported game build lays them out.
namespace GameOffset {
inline constexpr std::uintptr_t FormTableSlot = 0x5D40E18;
inline constexpr std::uintptr_t FormTableLock = 0x60BC25C;
inline constexpr std::uintptr_t OutpostMarkerSlot = 0x5DE91D0;
inline constexpr std::uintptr_t KeptFormSourceSlot = 0x5E200A0;
inline constexpr std::uintptr_t LoadGameEventSource = 0x58AD6C8;
inline constexpr std::uintptr_t CastSourceType = 0x58EA548;
inline constexpr std::uintptr_t CastTargetType = 0x5915E80;
inline constexpr std::uintptr_t LookupFormById = 0x5D26A0;
inline constexpr std::uintptr_t GameDynamicCast = 0x36BC640;
inline constexpr std::uintptr_t LockFormTable = 0x224FE60;
inline constexpr std::uintptr_t UnlockFormTable = 0x2BE580;
inline constexpr std::uintptr_t GetKeptForm = 0xB3C640;
inline constexpr std::uintptr_t GetFormHolder = 0x209E4C0;
inline constexpr std::uintptr_t BeginErase = 0xBFDB40;
inline constexpr std::uintptr_t FinishErase = 0xC30AD0;
inline constexpr std::uintptr_t EraseVForm = 0x18085B0;
inline constexpr std::uintptr_t FindAttachedList = 0x33F370;
inline constexpr std::uintptr_t MatchesMarker = 0x475F20;
inline constexpr std::uintptr_t AttachSink = 0x224C920;
inline constexpr std::uintptr_t DetachSink = 0x224CAB0;
inline constexpr std::uintptr_t GetPlayerUpdateEventSource = 0x147DED0;
}  // namespace GameOffset

// Fails the program with a clear message unless the array covers every offset.
void CheckImageCoversEntryTable();

unsigned char* GameAddress(std::uintptr_t offset);

// Writes a jump at the offset into `target` (an ordinary function of the simulator).
void InstallJumpStub(std::uintptr_t offset, const void* target);

void WriteDataSlot(std::uintptr_t offset, const void* value);

}  // namespace sim
