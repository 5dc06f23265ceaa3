// The engine side of the simulated game: forms and the objects around them at the offsets
// the game uses, the FormTable, the engine functions as jump stubs into recording
// functions, and the two event sources that dispatch through a sink's raw table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace sim {

struct TableSlot {
  std::uint32_t key;
  std::uint32_t unused0;
  void* form;
  std::uint32_t state;  // 0xFFFFFFFF: empty
  std::uint32_t unused1;
};
static_assert(sizeof(TableSlot) == 24);
inline constexpr std::uint32_t kEmptySlot = 0xFFFFFFFF;

// Offsets of the game's objects that the simulator fills.
namespace Member {
inline constexpr std::uintptr_t kFormId = 0x28;
inline constexpr std::uintptr_t kSimFlags = 0x2C;  // simulator-only: held, erased
inline constexpr std::uintptr_t kMarkerItemCount = 0x78, kMarkerItems = 0x80;
inline constexpr std::uintptr_t kBaseObject = 0x98, kHoldLink = 0xB8, kAttachmentHolder = 0xC8;
inline constexpr std::uintptr_t kMarkerHolderB = 0xD8, kBaseRelatedForm = 0x130;
inline constexpr std::uintptr_t kIdListCount = 0x170, kIdList = 0x178;
inline constexpr std::uintptr_t kMarkerHolderA = 0x1D8, kKeptFormB = 0x1F0;
inline constexpr std::uintptr_t kParentObject = 0x2B0;
inline constexpr std::uintptr_t kCastListCount = 0x20, kCastList = 0x28;
inline constexpr std::uintptr_t kAttachedCount = 0x18, kAttachedEntries = 0x20;
inline constexpr std::size_t kFormBytes = 0x2C0;
}  // namespace Member

inline constexpr std::uint8_t kFlagHeld = 1, kFlagErased = 2;

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

struct EngineCounters {
  std::uint64_t locks = 0, unlocks = 0, erasures = 0, protocolErrors = 0;
};

// Puts the stubs and data slots in place; checks the host image first.
void InstallEngine();
EngineCounters& Counters();

// Zeroed memory that lives as long as the program.
unsigned char* NewBlock(std::size_t bytes);
// A block whose bytes from `faultAt` on lie on an unreadable page.
unsigned char* NewBlockFaultingAt(std::size_t faultAt);
unsigned char* NewForm(std::uint32_t formId, std::uint8_t type, std::size_t bytes,
                       std::size_t faultAt = 0);
void RegisterForLookup(std::uint32_t formId, void* form);
std::uint32_t FormIdAt(const void* form);

// The FormTable behind FormTableSlot. Slot arrays come from NewSlotArray.
TableSlot* NewSlotArray(std::uint64_t count);
void SetFormTable(TableSlot* slots, std::uint64_t count, std::uint32_t emptinessWord);
void RemoveFormTable();
// Moves the slot array to new memory and makes the old array unreadable.
void MoveSlotArray();
void ShrinkSlotCount(std::uint64_t by);

void SetOutpostMarker(void* marker);
void SetKeptFormSource(void* source);
// Called after every erase call (BeginErase or EraseVForm) with its 1-based number.
void SetEraseHook(std::function<void(std::uint64_t)> hook);

void* LoadGameEventSourceAddress();
// The sinks the plugin attached to the player-update source, in attach order.
const std::vector<void*>& PlayerUpdateSinks();
void DispatchLoadGame();
void DispatchPlayerUpdate();
// Calls slot 0 of every sink attached so far, as the engine's destructor entry would.
void CallSinkDestructorEntries(unsigned flags);
void PrintFormSummary();
void SetFormNote(void* form, const char* note);
// Benchmarks build millions of forms: they switch off the per-form record behind the summary.
void SetRecordForms(bool on);

}  // namespace sim
