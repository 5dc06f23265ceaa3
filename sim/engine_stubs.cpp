#include "sim/engine_stubs.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "sim/engine_data.h"
#include "sim/event_sources.h"
#include "sim/forms.h"
#include "sim/game_memory.h"
#include "sim/host_image.h"
#include "sim/pass_tally.h"
#include "sim/protocol.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace sim {
namespace {

// Engine functions. Like MSVC code, results narrower than a register leave garbage above.

int lockDepth = 0;
LARGE_INTEGER lockedAt{};
std::vector<double> lockHeldSeconds;
std::function<void(std::uint64_t)> eraseHook;
std::vector<EraseCall>* eraseLog = nullptr;

void LogErase(char kind, const void* form) {
  if (eraseLog != nullptr) eraseLog->push_back({kind, FormIdAt(form)});
}

void RequireLock(const char* call, const void* form) {
  if (lockDepth <= 0) ProtocolError(call, form ? FormIdAt(form) : 0);
}

void* LookupFormById(std::uint32_t formId) {
  AdvanceVirtualClock(EngineCallTickNs);
  void* form = RegisteredForm(formId);
  Trace("lookup %08X -> %d", formId, form != nullptr);
  return form;
}

// Both zero arguments are checked in all 64 bits: the simulator fills the stack below the
// plugin's frames with a pattern, so a 4-byte store into the fifth one's slot shows.
void* GameDynamicCast(void* object, std::uint64_t delta, void* source, void* target,
                      std::uint64_t isReference) {
  AdvanceVirtualClock(EngineCallTickNs);
  if (delta != 0 || isReference != 0 || source != GameAddress(GameOffset::CastSourceType) ||
      target != GameAddress(GameOffset::CastTargetType)) {
    ProtocolError("cast-arguments");
  }
  Trace("cast");
  return object == nullptr ? nullptr : Get<void*>(object, 0);
}

void LockFormTable(void* lock) {
  AdvanceVirtualClock(EngineCallTickNs);
  if (lock != GameAddress(GameOffset::FormTableLock)) ProtocolError("lock-address");
  ++Counters().locks;
  ++lockDepth;
  Trace("lock");
  TallyLocked(VirtualClockNs());
  QueryPerformanceCounter(&lockedAt);
}

void UnlockFormTable(void* lock) {
  LARGE_INTEGER unlockedAt, frequency;
  QueryPerformanceCounter(&unlockedAt);
  QueryPerformanceFrequency(&frequency);
  lockHeldSeconds.push_back(static_cast<double>(unlockedAt.QuadPart - lockedAt.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
  if (lock != GameAddress(GameOffset::FormTableLock)) ProtocolError("unlock-address");
  if (lockDepth <= 0) ProtocolError("unlock-without-lock");
  ++Counters().unlocks;
  --lockDepth;
  Trace("unlock");
  TallyUnlocked(VirtualClockNs());  // the plugin's last reading under the lock
  AdvanceVirtualClock(EngineCallTickNs);
}

void* GetKeptForm(void* source) {
  AdvanceVirtualClock(EngineCallTickNs);
  Trace("kept-form");
  TallyWalkStarts();
  return Get<void*>(source, 0);
}

std::uint64_t GetFormHolder(void* form, std::uint64_t flag, void* second, void* third) {
  AdvanceVirtualClock(EngineCallTickNs);
  RequireLock("holder-outside-lock", form);
  if ((flag & 0xFF) != 1 || second != nullptr || third != nullptr) {
    ProtocolError("holder-arguments", FormIdAt(form));
  }
  Trace("holder %08X", FormIdAt(form));
  // Held forms answer with bits above the low 32 only: the whole 64-bit value counts.
  return (Get<std::uint8_t>(form, Member::SimFlags) & FlagHeld) ? 0x100000000ull : 0;
}

void AfterErase(void* form) {
  const std::uint8_t flags = Get<std::uint8_t>(form, Member::SimFlags);
  if (flags & FlagErased) ProtocolError("erased-twice", FormIdAt(form));
  Put<std::uint8_t>(form, Member::SimFlags, flags | FlagErased);
  const std::uint64_t number = ++Counters().erasures;
  if (eraseHook) eraseHook(number);
}

void BeginErase(void* form, std::uint64_t second) {
  AdvanceVirtualClock(EngineCallTickNs);
  RequireLock("erase-outside-lock", form);
  if (second != 0) ProtocolError("begin-erase-arguments", FormIdAt(form));
  Trace("begin-erase %08X", FormIdAt(form));
  LogErase('B', form);
  TallyErased(form, static_cast<char>(FormTypeAt(form)));
  AfterErase(form);
}

std::uint64_t FinishErase(void* first, void* second, void* form) {
  AdvanceVirtualClock(EngineCallTickNs);
  RequireLock("erase-outside-lock", form);
  if (first != nullptr || second != nullptr) ProtocolError("finish-erase-arguments");
  Trace("finish-erase %08X", FormIdAt(form));
  LogErase('F', form);
  return 0xCCCCCC01;
}

std::uint64_t EraseVForm(void* form) {
  AdvanceVirtualClock(EngineCallTickNs);
  RequireLock("erase-outside-lock", form);
  Trace("erase-v %08X", FormIdAt(form));
  LogErase('V', form);
  TallyErased(form, 'V');
  AfterErase(form);
  return 0xCCCCCC01;
}

void* FindAttachedList(void* holder, std::uint64_t kind) {
  AdvanceVirtualClock(EngineCallTickNs);
  if ((kind & 0xFF) != 0x80) ProtocolError("attached-list-kind");
  return Get<void*>(holder, 0);
}

std::uint64_t MatchesMarker(void* item, void* marker) {
  AdvanceVirtualClock(EngineCallTickNs);
  const bool matches = Get<void*>(item, 0) == marker;
  Trace("matches -> %d", matches);
  return 0xABCDEF00u | (matches ? 1u : 0u);
}

void AttachSink(void* source, void* sink) {
  AdvanceVirtualClock(EngineCallTickNs);
  if (!AttachToSource(source, sink)) ProtocolError("attach-unknown-source");
}

void DetachSink(void* source, void* sink) {
  AdvanceVirtualClock(EngineCallTickNs);
  if (!DetachFromSource(source, sink)) ProtocolError("detach-unknown-source");
}

void* GetPlayerUpdateEventSource() {
  AdvanceVirtualClock(EngineCallTickNs);
  Trace("player-update-source");
  return PlayerUpdateEventSourceAddress();
}

}  // namespace

void InstallEngine() {
  CheckImageCoversEntryTable();
  const std::pair<std::uintptr_t, const void*> stubs[] = {
      {GameOffset::LookupFormById, reinterpret_cast<const void*>(&LookupFormById)},
      {GameOffset::GameDynamicCast, reinterpret_cast<const void*>(&GameDynamicCast)},
      {GameOffset::LockFormTable, reinterpret_cast<const void*>(&LockFormTable)},
      {GameOffset::UnlockFormTable, reinterpret_cast<const void*>(&UnlockFormTable)},
      {GameOffset::GetKeptForm, reinterpret_cast<const void*>(&GetKeptForm)},
      {GameOffset::GetFormHolder, reinterpret_cast<const void*>(&GetFormHolder)},
      {GameOffset::BeginErase, reinterpret_cast<const void*>(&BeginErase)},
      {GameOffset::FinishErase, reinterpret_cast<const void*>(&FinishErase)},
      {GameOffset::EraseVForm, reinterpret_cast<const void*>(&EraseVForm)},
      {GameOffset::FindAttachedList, reinterpret_cast<const void*>(&FindAttachedList)},
      {GameOffset::MatchesMarker, reinterpret_cast<const void*>(&MatchesMarker)},
      {GameOffset::AttachSink, reinterpret_cast<const void*>(&AttachSink)},
      {GameOffset::DetachSink, reinterpret_cast<const void*>(&DetachSink)},
      {GameOffset::GetPlayerUpdateEventSource,
       reinterpret_cast<const void*>(&GetPlayerUpdateEventSource)},
  };
  // Every engine function the image lists has its stub, and nothing else gets one.
  for (const GameOffsetEntry& entry : GameOffsets) {
    const auto stubbed = std::count_if(std::begin(stubs), std::end(stubs), [&](const auto& stub) {
      return stub.first == entry.offset;
    });
    if (stubbed != (entry.kind == OffsetKind::Function ? 1 : 0)) {
      std::fprintf(stderr, "sim: %s has %d stubs\n", entry.name, static_cast<int>(stubbed));
      std::exit(91);
    }
  }
  for (const auto& [offset, target] : stubs) InstallJumpStub(offset, target);
  InstallFormTable();
}

void RecordEraseCallsInto(std::vector<EraseCall>* log) {
  eraseLog = log;
}

const std::vector<double>& LockHeldSeconds() {
  return lockHeldSeconds;
}

bool FormTableLocked() {
  return lockDepth > 0;
}

void SetEraseHook(std::function<void(std::uint64_t)> hook) {
  eraseHook = std::move(hook);
}

void EndTheGameNow() {
  Trace("game-dies");
  FlushTrace();
  TerminateProcess(GetCurrentProcess(), EXCEPTION_ACCESS_VIOLATION);
  std::abort();  // not reached
}

}  // namespace sim
