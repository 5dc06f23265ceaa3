// The simulated game executable: a zeroed array inside this program's own image that
// covers every fixed offset the plugin uses, so ModuleBase + offset lands in memory the
// simulator controls.
#pragma once

#include <cstdint>

namespace sim {

// The game's own entry points, as the one supported game build lays them out.
namespace GameOffset {
inline constexpr std::uintptr_t kFormTableSlot = 0x5D40E18;
inline constexpr std::uintptr_t kFormTableLock = 0x60BC25C;
inline constexpr std::uintptr_t kOutpostMarkerSlot = 0x5DE91D0;
inline constexpr std::uintptr_t kKeptFormSourceSlot = 0x5E200A0;
inline constexpr std::uintptr_t kLoadGameEventSource = 0x58AD6C8;
inline constexpr std::uintptr_t kCastSourceType = 0x58EA548;
inline constexpr std::uintptr_t kCastTargetType = 0x5915E80;
inline constexpr std::uintptr_t kLookupFormById = 0x5D26A0;
inline constexpr std::uintptr_t kGameDynamicCast = 0x36BC640;
inline constexpr std::uintptr_t kLockFormTable = 0x224FE60;
inline constexpr std::uintptr_t kUnlockFormTable = 0x2BE580;
inline constexpr std::uintptr_t kGetKeptForm = 0xB3C640;
inline constexpr std::uintptr_t kGetFormHolder = 0x209E4C0;
inline constexpr std::uintptr_t kBeginErase = 0xBFDB40;
inline constexpr std::uintptr_t kFinishErase = 0xC30AD0;
inline constexpr std::uintptr_t kEraseVForm = 0x18085B0;
inline constexpr std::uintptr_t kFindAttachedList = 0x33F370;
inline constexpr std::uintptr_t kMatchesMarker = 0x475F20;
inline constexpr std::uintptr_t kAttachSink = 0x224C920;
inline constexpr std::uintptr_t kDetachSink = 0x224CAB0;
inline constexpr std::uintptr_t kGetPlayerUpdateEventSource = 0x147DED0;
}  // namespace GameOffset

// Fails the program with a clear message unless the array covers every offset.
void CheckImageCoversEntryTable();

unsigned char* GameAddress(std::uintptr_t offset);

// Writes a jump at the offset into `target` (an ordinary function of the simulator).
void InstallJumpStub(std::uintptr_t offset, const void* target);

void WriteDataSlot(std::uintptr_t offset, const void* value);

}  // namespace sim
