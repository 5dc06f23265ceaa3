#include "sim/engine_data.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <unordered_map>

#include "sim/checked.h"
#include "sim/faulting_pages.h"
#include "sim/forms.h"
#include "sim/host_image.h"
#include "sim/pass_tally.h"
#include "sim/trace.h"

namespace sim {
namespace {

struct FormTableObject {
  unsigned char unused[0x10];
  TableSlot* slots;             // +0x10
  std::uint64_t count;          // +0x18
  std::uint32_t emptinessWord;  // +0x20
};
static_assert(offsetof(FormTableObject, slots) == 0x10);
static_assert(offsetof(FormTableObject, count) == 0x18);
static_assert(offsetof(FormTableObject, emptinessWord) == 0x20);

FormTableObject table{};
std::unordered_map<void*, std::size_t> slotArrayBytes;

}  // namespace

void InstallFormTable() {
  WriteDataSlot(GameOffset::FormTableSlot, &table);
}

TableSlot* NewSlotArray(std::uint64_t count) {
  const std::size_t bytes = static_cast<std::size_t>(count ? count : 1) * sizeof(TableSlot);
  auto* slots = static_cast<TableSlot*>(
      VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  Require(slots != nullptr, "VirtualAlloc of a slot array");
  slotArrayBytes[slots] = bytes;
  return slots;
}

void SetFormTable(TableSlot* slots, std::uint64_t count, std::uint32_t emptinessWord) {
  table.slots = slots;
  table.count = count;
  table.emptinessWord = emptinessWord;
  WriteDataSlot(GameOffset::FormTableSlot, &table);
}

void RemoveFormTable() {
  WriteDataSlot(GameOffset::FormTableSlot, nullptr);
}

void MoveSlotArray() {
  TableSlot* old = table.slots;
  TableSlot* moved = NewSlotArray(table.count);
  std::memcpy(moved, old, static_cast<std::size_t>(table.count) * sizeof(TableSlot));
  table.slots = moved;
  DWORD oldProtection = 0;
  Require(VirtualProtect(old, slotArrayBytes[old], PAGE_NOACCESS, &oldProtection) != 0,
          "VirtualProtect of a moved slot array");
  Trace("slot-array-moved");
  TallySlotArrayMoved();
}

void ShrinkSlotCount(std::uint64_t by) {
  table.count = table.count > by ? table.count - by : 0;
  Trace("slot-count %llu", static_cast<unsigned long long>(table.count));
  TallySlotCountShrunk(table.count);
}

void ReleaseGameData() {
  for (const auto& [slots, bytes] : slotArrayBytes) {
    Require(VirtualFree(slots, 0, MEM_RELEASE) != 0, "VirtualFree of a slot array");
  }
  slotArrayBytes.clear();
  table = FormTableObject{};
  ForgetAllForms();
  ForgetTally();
  ReleaseAllBlocks();
}

const TableSlot* CurrentSlots() {
  const void* installed = Get<const void*>(GameAddress(GameOffset::FormTableSlot), 0);
  return installed == nullptr ? nullptr : table.slots;
}

std::uint64_t CurrentSlotCount() {
  return table.count;
}

void SetOutpostMarker(void* marker) {
  WriteDataSlot(GameOffset::OutpostMarkerSlot, marker);
}

void SetKeptFormSource(void* source) {
  WriteDataSlot(GameOffset::KeptFormSourceSlot, source);
}

}  // namespace sim
