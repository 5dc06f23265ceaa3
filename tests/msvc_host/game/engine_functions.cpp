// The engine functions the plugin calls, each entered through the engine gate. Each body
// records the call, checks its arguments as the game would read them (byte arguments in their
// low 8 bits only, pointers and zeros in all 64), and answers from the host's objects.
#include "game/engine_calls.h"
#include "game/engine_gate.h"
#include "game/game_objects.h"
#include "game/image.h"
#include "game/narrow_results.h"
#include "game/offsets.h"
#include "game/world_objects.h"

namespace {

constexpr uint8_t AttachedListKind = 0x80;
constexpr uint8_t HolderQueryFlag = 1;
constexpr uint64_t FifthArgumentOffset = 0x28;  // from the entry stack pointer

uint64_t Bits(const void* pointer) {
  return reinterpret_cast<uint64_t>(pointer);
}

GameForm* KnownForm(GameForm* form, const char* fault) {
  if (IsHostForm(form)) return form;
  NoteFault(ContractFault::OtherArgument, fault);
  return nullptr;
}

// Whether the stack slot lies in the area painted last (see engine_gate.h).
bool InPaintedArea(uint64_t slot) {
  return slot < GamePaintedStackTop && slot >= GamePaintedStackTop - GAME_PAINT_BYTES;
}

}  // namespace

extern "C" {

uint64_t LookupFormByIdBody(uint32_t formId) {
  RecordEngineCall(EngineFunction::LookupFormById, formId);
  for (uint32_t i = 0; i < FormCount(); ++i) {
    GameForm* form = FormAt(i);
    if (form->formId == formId && !form->host.lookupSkips) return Bits(form);
  }
  return 0;
}

uint64_t GameDynamicCastBody(GameForm* object, uint64_t zero2, const void* sourceType,
                             const void* targetType, uint64_t zero5) {
  RecordEngineCall(EngineFunction::GameDynamicCast, Bits(object), zero2, Bits(sourceType),
                   Bits(targetType), zero5);
  if (zero2 != 0) NoteFault(ContractFault::CastZeroArguments, "second argument not a 64-bit zero");
  if (zero5 != 0) NoteFault(ContractFault::CastZeroArguments, "fifth argument not a 64-bit zero");
  if (!InPaintedArea(GameEngineEntryRsp + FifthArgumentOffset)) {
    NoteFault(ContractFault::CastSlotUnpainted,
              "the fifth argument's slot lay outside the stack painted after the previous engine "
              "call");
  }
  if (sourceType != GameAddress(GameOffset::CastSourceType) ||
      targetType != GameAddress(GameOffset::CastTargetType)) {
    NoteFault(ContractFault::OtherArgument, "GameDynamicCast with other type records");
  }
  const GameForm* form = KnownForm(object, "GameDynamicCast of an object that is no form");
  return form == nullptr ? 0 : Bits(form->host.asTarget);
}

uint64_t LockFormTableBody(const void* lock) {
  RecordEngineCall(EngineFunction::LockFormTable, Bits(lock));
  if (lock != GameAddress(GameOffset::FormTableLock)) {
    NoteFault(ContractFault::OtherArgument, "LockFormTable with another address");
  }
  ++TableLockDepth();
  return NoResult;
}

uint64_t UnlockFormTableBody(const void* lock) {
  RecordEngineCall(EngineFunction::UnlockFormTable, Bits(lock));
  if (lock != GameAddress(GameOffset::FormTableLock)) {
    NoteFault(ContractFault::OtherArgument, "UnlockFormTable with another address");
  }
  if (TableLockDepth() == 0) {
    NoteFault(ContractFault::OtherArgument, "UnlockFormTable without the lock taken");
  } else {
    --TableLockDepth();
  }
  return NoResult;
}

uint64_t GetKeptFormBody(const KeptFormSource* source) {
  RecordEngineCall(EngineFunction::GetKeptForm, Bits(source));
  if (source != &Game().keptFormSource) {
    NoteFault(ContractFault::OtherArgument, "GetKeptForm of another object");
    return 0;
  }
  return Bits(source->keptFormA);
}

uint64_t GetFormHolderBody(GameForm* form, uint8_t flag, const void* third, const void* fourth) {
  RecordEngineCall(EngineFunction::GetFormHolder, Bits(form), flag, Bits(third), Bits(fourth));
  if (flag != HolderQueryFlag) NoteFault(ContractFault::ByteArgument, "GetFormHolder's flag not 1");
  if (third != nullptr || fourth != nullptr) {
    NoteFault(ContractFault::OtherArgument, "GetFormHolder's third or fourth argument not null");
  }
  const GameForm* known = KnownForm(form, "GetFormHolder of an object that is no form");
  return known != nullptr && known->host.heldByGame ? HeldAnswer : 0;
}

uint64_t BeginEraseBody(GameForm* form, uint32_t zero) {
  RecordEngineCall(EngineFunction::BeginErase, Bits(form), zero);
  if (zero != 0) NoteFault(ContractFault::OtherArgument, "BeginErase's second argument not 0");
  KnownForm(form, "BeginErase of an object that is no form");
  return NoResult;
}

uint64_t FinishEraseBody(const void* first, const void* second, GameForm* form) {
  RecordEngineCall(EngineFunction::FinishErase, Bits(first), Bits(second), Bits(form));
  if (first != nullptr || second != nullptr) {
    NoteFault(ContractFault::OtherArgument, "FinishErase's first or second argument not null");
  }
  KnownForm(form, "FinishErase of an object that is no form");
  return NarrowResult(1);
}

uint64_t EraseVFormBody(GameForm* form) {
  RecordEngineCall(EngineFunction::EraseVForm, Bits(form));
  KnownForm(form, "EraseVForm of an object that is no form");
  return NarrowResult(1);
}

uint64_t FindAttachedListBody(const AttachmentHolder* holder, uint8_t kind) {
  RecordEngineCall(EngineFunction::FindAttachedList, Bits(holder), kind);
  if (kind != AttachedListKind)
    NoteFault(ContractFault::ByteArgument, "FindAttachedList's kind not 0x80");
  if (!IsWorldHolder(holder)) {
    NoteFault(ContractFault::OtherArgument, "FindAttachedList of an object that is no holder");
    return 0;
  }
  return Bits(holder->block);
}

uint64_t MatchesMarkerBody(const MarkerItem* item, const OutpostMarker* marker) {
  RecordEngineCall(EngineFunction::MatchesMarker, Bits(item), Bits(marker));
  if (marker != &Game().outpostMarker) {
    NoteFault(ContractFault::OtherArgument, "MatchesMarker with another marker");
  }
  if (!IsWorldItem(item)) {
    NoteFault(ContractFault::OtherArgument, "MatchesMarker of an object that is no item");
    return NarrowResult(0);
  }
  return NarrowResult(item->matchesOutpostMarker && marker == &Game().outpostMarker ? 1 : 0);
}

uint64_t AttachSinkBody(EventSource* source, ZKTEventDetail::SinkBase* sink) {
  RecordEngineCall(EngineFunction::AttachSink, Bits(source), Bits(sink));
  if (source != &LoadGameSource() && source != &Game().playerUpdateSource) {
    NoteFault(ContractFault::OtherArgument, "AttachSink to an object that is no event source");
  } else if (source->count == EventSource::Capacity) {
    NoteFault(ContractFault::OtherArgument, "AttachSink beyond what a source holds");
  } else {
    source->sinks[source->count++] = sink;
  }
  return NoResult;
}

uint64_t DetachSinkBody(EventSource* source, ZKTEventDetail::SinkBase* sink) {
  RecordEngineCall(EngineFunction::DetachSink, Bits(source), Bits(sink));
  if (source != &LoadGameSource() && source != &Game().playerUpdateSource) {
    NoteFault(ContractFault::OtherArgument, "DetachSink from an object that is no event source");
    return NoResult;
  }
  uint32_t kept = 0;
  for (uint32_t i = 0; i < source->count; ++i) {
    if (source->sinks[i] != sink) source->sinks[kept++] = source->sinks[i];
  }
  if (kept == source->count)
    NoteFault(ContractFault::OtherArgument, "DetachSink of a sink not attached");
  source->count = kept;
  return NoResult;
}

uint64_t GetPlayerUpdateEventSourceBody() {
  RecordEngineCall(EngineFunction::GetPlayerUpdateEventSource);
  return Bits(&Game().playerUpdateSource);
}

}  // extern "C"

GAME_GATED_ENTRY(LookupFormByIdEntry, LookupFormByIdBody);
GAME_GATED_ENTRY(GameDynamicCastEntry, GameDynamicCastBody);
GAME_GATED_ENTRY(LockFormTableEntry, LockFormTableBody);
GAME_GATED_ENTRY(UnlockFormTableEntry, UnlockFormTableBody);
GAME_GATED_ENTRY(GetKeptFormEntry, GetKeptFormBody);
GAME_GATED_ENTRY(GetFormHolderEntry, GetFormHolderBody);
GAME_GATED_ENTRY(BeginEraseEntry, BeginEraseBody);
GAME_GATED_ENTRY(FinishEraseEntry, FinishEraseBody);
GAME_GATED_ENTRY(EraseVFormEntry, EraseVFormBody);
GAME_GATED_ENTRY(FindAttachedListEntry, FindAttachedListBody);
GAME_GATED_ENTRY(MatchesMarkerEntry, MatchesMarkerBody);
GAME_GATED_ENTRY(AttachSinkEntry, AttachSinkBody);
GAME_GATED_ENTRY(DetachSinkEntry, DetachSinkBody);
GAME_GATED_ENTRY(GetPlayerUpdateEventSourceEntry, GetPlayerUpdateEventSourceBody);

namespace {
constinit GameObjects gameObjects{};
}  // namespace

GameObjects& Game() {
  return gameObjects;
}

EventSource& LoadGameSource() {
  return *reinterpret_cast<EventSource*>(GameAddress(GameOffset::LoadGameEventSource));
}

void InstallEngine(bool withOutpostMarker) {
  InstallEngineJump(GameOffset::LookupFormById, &LookupFormByIdEntry);
  InstallEngineJump(GameOffset::GameDynamicCast, &GameDynamicCastEntry);
  InstallEngineJump(GameOffset::LockFormTable, &LockFormTableEntry);
  InstallEngineJump(GameOffset::UnlockFormTable, &UnlockFormTableEntry);
  InstallEngineJump(GameOffset::GetKeptForm, &GetKeptFormEntry);
  InstallEngineJump(GameOffset::GetFormHolder, &GetFormHolderEntry);
  InstallEngineJump(GameOffset::BeginErase, &BeginEraseEntry);
  InstallEngineJump(GameOffset::FinishErase, &FinishEraseEntry);
  InstallEngineJump(GameOffset::EraseVForm, &EraseVFormEntry);
  InstallEngineJump(GameOffset::FindAttachedList, &FindAttachedListEntry);
  InstallEngineJump(GameOffset::MatchesMarker, &MatchesMarkerEntry);
  InstallEngineJump(GameOffset::AttachSink, &AttachSinkEntry);
  InstallEngineJump(GameOffset::DetachSink, &DetachSinkEntry);
  InstallEngineJump(GameOffset::GetPlayerUpdateEventSource, &GetPlayerUpdateEventSourceEntry);
  PutDataSlot(GameOffset::FormTableSlot, &Game().table);
  PutDataSlot(GameOffset::KeptFormSourceSlot, &Game().keptFormSource);
  PutDataSlot(GameOffset::OutpostMarkerSlot, withOutpostMarker ? &Game().outpostMarker : nullptr);
}

void AttachGameOwnSinks() {
  LoadGameSource().sinks[LoadGameSource().count++] = &GameOwnLoadGameSink();
  Game().playerUpdateSource.sinks[Game().playerUpdateSource.count++] = &GameOwnPlayerUpdateSink();
}
