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

constexpr std::size_t Page = 4096;

// Where a slot array's memory begins (for its release) and how many bytes the slots take.
struct SlotArrayMemory {
  void* allocation;
  std::size_t bytes;
};

FormTableObject table{};
std::unordered_map<void*, SlotArrayMemory> slotArrays;
bool slotArraysAtPageEnd = false;

}  // namespace

void InstallFormTable() {
  WriteDataSlot(GameOffset::FormTableSlot, &table);
}

TableSlot* NewSlotArray(std::uint64_t count) {
  const std::size_t bytes = static_cast<std::size_t>(count ? count : 1) * sizeof(TableSlot);
  // At a page end: the slots' pages, then one no-access page right after the last slot.
  const std::size_t readable = (bytes + Page - 1) / Page * Page;
  const std::size_t allocated = slotArraysAtPageEnd ? readable + Page : bytes;
  auto* allocation = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, allocated, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  Require(allocation != nullptr, "VirtualAlloc of a slot array");
  auto* slots = reinterpret_cast<TableSlot*>(allocation);
  if (slotArraysAtPageEnd) {
    DWORD oldProtection = 0;
    Require(VirtualProtect(allocation + readable, Page, PAGE_NOACCESS, &oldProtection) != 0,
            "VirtualProtect of the page after a slot array");
    slots = reinterpret_cast<TableSlot*>(allocation + readable - bytes);
  }
  slotArrays[slots] = {allocation, bytes};
  return slots;
}

void PlaceSlotArraysAtPageEnd(bool atPageEnd) {
  slotArraysAtPageEnd = atPageEnd;
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
  Require(VirtualProtect(old, slotArrays[old].bytes, PAGE_NOACCESS, &oldProtection) != 0,
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
  for (const auto& [slots, memory] : slotArrays) {
    Require(VirtualFree(memory.allocation, 0, MEM_RELEASE) != 0, "VirtualFree of a slot array");
  }
  slotArrays.clear();
  slotArraysAtPageEnd = false;
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
