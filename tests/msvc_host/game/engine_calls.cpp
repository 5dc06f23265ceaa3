#include "game/engine_calls.h"

#include "game/engine_gate.h"
#include "seam.h"

namespace {

constexpr uint32_t Capacity = 8192;
EngineCall calls[Capacity];
uint32_t callCount = 0;
uint32_t lockDepth = 0;

constexpr uint32_t KeptDescriptions = 3;
struct FaultRecord {
  uint32_t count;
  const char* first[KeptDescriptions];
};
FaultRecord faults[static_cast<int>(ContractFault::Count)];

}  // namespace

const char* EngineFunctionName(EngineFunction function) {
  switch (function) {
    case EngineFunction::LookupFormById:
      return "LookupFormById";
    case EngineFunction::GameDynamicCast:
      return "GameDynamicCast";
    case EngineFunction::LockFormTable:
      return "LockFormTable";
    case EngineFunction::UnlockFormTable:
      return "UnlockFormTable";
    case EngineFunction::GetKeptForm:
      return "GetKeptForm";
    case EngineFunction::GetFormHolder:
      return "GetFormHolder";
    case EngineFunction::BeginErase:
      return "BeginErase";
    case EngineFunction::FinishErase:
      return "FinishErase";
    case EngineFunction::EraseVForm:
      return "EraseVForm";
    case EngineFunction::FindAttachedList:
      return "FindAttachedList";
    case EngineFunction::MatchesMarker:
      return "MatchesMarker";
    case EngineFunction::AttachSink:
      return "AttachSink";
    case EngineFunction::DetachSink:
      return "DetachSink";
    case EngineFunction::GetPlayerUpdateEventSource:
      return "GetPlayerUpdateEventSource";
    case EngineFunction::GetFormType:
      return "GetFormType";
    case EngineFunction::AcquirePluginHandle:
      return "AcquirePluginHandle";
    case EngineFunction::LookupService:
      return "LookupService";
    case EngineFunction::AddMessageListener:
      return "AddMessageListener";
  }
  return "?";
}

void RecordEngineCall(EngineFunction function, uint64_t a0, uint64_t a1, uint64_t a2, uint64_t a3,
                      uint64_t a4) {
  if (GameEngineEntryRsp % 16 != 8)
    NoteFault(ContractFault::MisalignedEntry, EngineFunctionName(function));
  if (callCount == Capacity) {
    NoteFault(ContractFault::OtherArgument, "more engine calls than the host's record holds");
    return;
  }
  EngineCall& call = calls[callCount++];
  call.function = function;
  call.lockDepth = lockDepth;
  call.boxesShown = GlueBoxCount();
  call.args[0] = a0;
  call.args[1] = a1;
  call.args[2] = a2;
  call.args[3] = a3;
  call.args[4] = a4;
}

uint32_t EngineCallCount() {
  return callCount;
}

const EngineCall& EngineCallAt(uint32_t index) {
  return calls[index];
}

uint32_t CountCalls(EngineFunction function, uint32_t from, uint32_t to) {
  uint32_t count = 0;
  for (uint32_t i = from; i < to && i < callCount; ++i) count += calls[i].function == function;
  return count;
}

uint32_t CountCallsWith(EngineFunction function, uint32_t position, uint64_t argument,
                        uint32_t from, uint32_t to) {
  uint32_t count = 0;
  for (uint32_t i = from; i < to && i < callCount; ++i) {
    count += calls[i].function == function && calls[i].args[position] == argument;
  }
  return count;
}

uint32_t& TableLockDepth() {
  return lockDepth;
}

void NoteFault(ContractFault fault, const char* what) {
  FaultRecord& record = faults[static_cast<int>(fault)];
  if (record.count < KeptDescriptions) record.first[record.count] = what;
  ++record.count;
}

uint32_t FaultCount(ContractFault fault) {
  return faults[static_cast<int>(fault)].count;
}

void DescribeFaults(ContractFault fault, Line& detail) {
  const FaultRecord& record = faults[static_cast<int>(fault)];
  detail.Decimal(record.count).Add(" time(s), first:");
  for (uint32_t i = 0; i < record.count && i < KeptDescriptions; ++i) {
    detail.Add(i == 0 ? " " : "; ").Add(record.first[i]);
  }
}
