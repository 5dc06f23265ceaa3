#include "game/forms.h"

#include "game/engine_calls.h"
#include "game/engine_gate.h"
#include "game/narrow_results.h"

namespace {

constexpr uint32_t PoolSize = 96;
constinit GameForm pool[PoolSize];
uint32_t used = 0;

}  // namespace

GameForm* NewForm(uint32_t formId, uint8_t type) {
  if (used == PoolSize) {
    NoteFault(ContractFault::UnexpectedCall,
              "the host's world needs more forms than its pool holds");
    return &pool[PoolSize - 1];
  }
  GameForm* form = &pool[used++];
  form->formId = formId;
  form->host.type = type;
  return form;
}

uint32_t FormCount() {
  return used;
}

GameForm* FormAt(uint32_t index) {
  return &pool[index];
}

bool IsHostForm(const void* pointer) {
  for (uint32_t i = 0; i < used; ++i) {
    if (pointer == &pool[i]) return true;
  }
  return false;
}

void GameForm::UnexpectedVirtualCall(int slot) {
  static const char* const names[] = {
      "virtual slot 0",  "virtual slot 1",  "virtual slot 2",  "virtual slot 3",  "virtual slot 4",
      "virtual slot 5",  "virtual slot 6",  "virtual slot 7",  "virtual slot 8",  "virtual slot 9",
      "virtual slot 10", "virtual slot 11", "virtual slot 12", "virtual slot 13", "virtual slot 14",
      "virtual slot 15", "virtual slot 16", "virtual slot 17", "virtual slot 18", "virtual slot 19",
      "virtual slot 20", "virtual slot 21", "virtual slot 22", "virtual slot 23", "virtual slot 24",
      "virtual slot 25", "virtual slot 26", "virtual slot 27", "virtual slot 28", "virtual slot 29",
      "virtual slot 30", "virtual slot 31", "virtual slot 32", "virtual slot 33"};
  NoteFault(ContractFault::UnexpectedCall, names[slot]);
}

// The table entry is this function; the gate runs GetFormTypeBody.
[[gnu::naked]] uint64_t GameForm::GetFormType() const {
  asm("leaq GetFormTypeBody(%rip), %r11\n\tjmp GameGateEnter");
}

extern "C" uint64_t GetFormTypeBody(const GameForm* form) {
  RecordEngineCall(EngineFunction::GetFormType, reinterpret_cast<uint64_t>(form));
  if (!IsHostForm(form)) {
    NoteFault(ContractFault::OtherArgument, "GetFormType on an object that is no form");
    return NarrowResult(0);
  }
  return NarrowResult(form->host.type);
}
