#include "sim/forms.h"

#include <unordered_map>

#include "sim/faulting_pages.h"
#include "sim/game_memory.h"
#include "sim/protocol.h"
#include "sim/virtual_clock.h"

namespace sim {
namespace {

constexpr int VirtualSlots = 40;
constexpr int GetFormTypeSlot = 34;
constexpr int TypeCodeSlot = VirtualSlots;  // past the table: where each table keeps its type

struct FormState {
  std::unordered_map<std::uint32_t, void*> lookup;
  // One table per type code, outside the blocks that are recycled between worlds.
  std::uint64_t virtualTables[256][VirtualSlots + 8] = {};
  std::vector<FormRecord> forms;
  std::unordered_map<void*, std::size_t> formIndex;
  bool recordForms = true;
};

FormState& State() {
  static FormState state;
  return state;
}

// Like MSVC code, a result narrower than a register leaves garbage above it.
std::uint64_t GetFormTypeVirtual(const void* self) {
  AdvanceVirtualClock(EngineCallTickNs);
  return 0xA5A5A500u | FormTypeAt(self);
}

std::uint64_t UnexpectedVirtual(const void* self) {
  ProtocolError("unexpected-virtual-call", FormIdAt(self));
  return 0;
}

std::uint64_t* VirtualTableOf(std::uint8_t type) {
  std::uint64_t* table = State().virtualTables[type];
  if (table[GetFormTypeSlot] == 0) {
    for (int slot = 0; slot < VirtualSlots; ++slot) {
      table[slot] = reinterpret_cast<std::uint64_t>(&UnexpectedVirtual);
    }
    table[GetFormTypeSlot] = reinterpret_cast<std::uint64_t>(&GetFormTypeVirtual);
    table[TypeCodeSlot] = type;
  }
  return table;
}

}  // namespace

unsigned char* NewForm(std::uint32_t formId, std::uint8_t type, std::size_t bytes,
                       std::size_t faultAt) {
  unsigned char* form = faultAt ? NewBlockFaultingAt(faultAt) : NewBlock(bytes);
  Put(form, 0, VirtualTableOf(type));
  Put(form, Member::FormId, formId);
  if (State().recordForms) {
    State().formIndex[form] = State().forms.size();
    State().forms.push_back({form, type, ""});
  }
  return form;
}

std::uint8_t FormTypeAt(const void* form) {
  return static_cast<std::uint8_t>(Get<const std::uint64_t*>(form, 0)[TypeCodeSlot]);
}

void RegisterForLookup(std::uint32_t formId, void* form) {
  State().lookup[formId] = form;
}

void* RegisteredForm(std::uint32_t formId) {
  const auto found = State().lookup.find(formId);
  return found == State().lookup.end() ? nullptr : found->second;
}

void ForgetAllForms() {
  State().lookup.clear();
  State().forms.clear();
  State().formIndex.clear();
}

const std::vector<FormRecord>& RecordedForms() {
  return State().forms;
}

void SetFormNote(void* form, const char* note) {
  const auto found = State().formIndex.find(form);
  if (found != State().formIndex.end()) State().forms[found->second].note = note;
}

void SetRecordForms(bool on) {
  State().recordForms = on;
}

}  // namespace sim
