// The simulated game executable: a zeroed array inside this program's own image that
// covers every fixed offset the plugin uses, so ModuleBase + offset lands in memory the
// simulator controls.
#pragma once

#include <cstdint>

namespace sim {

// The game's own entry points, as the one supported game build lays them out: each name,
// offset and kind once (data the simulator fills, or a function it stubs).
#define SIM_GAME_OFFSETS(X)               \
  X(FormTableSlot, 0x5D40E18, Data)       \
  X(FormTableLock, 0x60BC25C, Data)       \
  X(OutpostMarkerSlot, 0x5DE91D0, Data)   \
  X(KeptFormSourceSlot, 0x5E200A0, Data)  \
  X(LoadGameEventSource, 0x58AD6C8, Data) \
  X(CastSourceType, 0x58EA548, Data)      \
  X(CastTargetType, 0x5915E80, Data)      \
  X(LookupFormById, 0x5D26A0, Function)   \
  X(GameDynamicCast, 0x36BC640, Function) \
  X(LockFormTable, 0x224FE60, Function)   \
  X(UnlockFormTable, 0x2BE580, Function)  \
  X(GetKeptForm, 0xB3C640, Function)      \
  X(GetFormHolder, 0x209E4C0, Function)   \
  X(BeginErase, 0xBFDB40, Function)       \
  X(FinishErase, 0xC30AD0, Function)      \
  X(EraseVForm, 0x18085B0, Function)      \
  X(FindAttachedList, 0x33F370, Function) \
  X(MatchesMarker, 0x475F20, Function)    \
  X(AttachSink, 0x224C920, Function)      \
  X(DetachSink, 0x224CAB0, Function)      \
  X(GetPlayerUpdateEventSource, 0x147DED0, Function)

namespace GameOffset {
#define SIM_GAME_OFFSET_CONSTANT(name, offset, kind) inline constexpr std::uintptr_t name = offset;
SIM_GAME_OFFSETS(SIM_GAME_OFFSET_CONSTANT)
#undef SIM_GAME_OFFSET_CONSTANT
}  // namespace GameOffset

enum class OffsetKind { Data, Function };
struct GameOffsetEntry {
  const char* name;
  std::uintptr_t offset;
  OffsetKind kind;
};
inline constexpr GameOffsetEntry GameOffsets[] = {
#define SIM_GAME_OFFSET_ENTRY(name, offset, kind) {#name, offset, OffsetKind::kind},
    SIM_GAME_OFFSETS(SIM_GAME_OFFSET_ENTRY)
#undef SIM_GAME_OFFSET_ENTRY
};

// Fails the program with a clear message unless the array covers every offset.
void CheckImageCoversEntryTable();

unsigned char* GameAddress(std::uintptr_t offset);

// Writes a jump at the offset into `target` (an ordinary function of the simulator).
void InstallJumpStub(std::uintptr_t offset, const void* target);

void WriteDataSlot(std::uintptr_t offset, const void* value);

}  // namespace sim
