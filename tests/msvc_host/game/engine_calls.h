// What the plugin asked of the game and the loader, call by call, and what each call got
// wrong: the record the checks read after each step.
#pragma once

#include <stdint.h>

#include "game/text.h"

enum class EngineFunction : uint8_t {
  LookupFormById,
  GameDynamicCast,
  LockFormTable,
  UnlockFormTable,
  GetKeptForm,
  GetFormHolder,
  BeginErase,
  FinishErase,
  EraseVForm,
  FindAttachedList,
  MatchesMarker,
  AttachSink,
  DetachSink,
  GetPlayerUpdateEventSource,
  GetFormType,
  AcquirePluginHandle,
  LookupService,
  AddMessageListener,
};

const char* EngineFunctionName(EngineFunction function);

struct EngineCall {
  EngineFunction function;
  uint32_t lockDepth;   // the table lock's depth when the call came
  uint32_t boxesShown;  // message boxes the plugin had shown by then
  uint64_t args[5];
};

// Appends the call, and notes a misaligned entry (RSP not 8 modulo 16 at the gate).
void RecordEngineCall(EngineFunction function, uint64_t a0 = 0, uint64_t a1 = 0, uint64_t a2 = 0,
                      uint64_t a3 = 0, uint64_t a4 = 0);
uint32_t EngineCallCount();
const EngineCall& EngineCallAt(uint32_t index);
// How many calls of the function lie in [from, to) of the record, and how many of them had
// `argument` at position `position`.
uint32_t CountCalls(EngineFunction function, uint32_t from, uint32_t to);
uint32_t CountCallsWith(EngineFunction function, uint32_t position, uint64_t argument,
                        uint32_t from, uint32_t to);

// The table lock's depth, kept by the lock and unlock bodies.
uint32_t& TableLockDepth();

// The kinds of fault an engine function can find in how it was called.
enum class ContractFault : uint8_t {
  MisalignedEntry,    // RSP not 8 modulo 16 at entry
  CastZeroArguments,  // GameDynamicCast's second or fifth argument not a 64-bit zero
  CastSlotUnpainted,  // the fifth argument's slot lay outside the stack painted last
  ByteArgument,       // a byte argument wrong in its low 8 bits
  OtherArgument,      // a wrong object, address, null or zero
  UnexpectedCall,     // a virtual slot or an operator the plugin must not reach
  Count,
};

void NoteFault(ContractFault fault, const char* what);
uint32_t FaultCount(ContractFault fault);
// The first faults of the kind, for a check's detail line.
void DescribeFaults(ContractFault fault, Line& detail);
