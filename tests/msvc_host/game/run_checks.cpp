#include "game/run_checks.h"

#include "game/checks.h"
#include "game/engine_calls.h"
#include "game/game_objects.h"
#include "game/loader.h"
#include "seam.h"

namespace {

uint64_t Bits(const void* pointer) {
  return reinterpret_cast<uint64_t>(pointer);
}

void DescribeCalls(CallWindow window, Line& detail) {
  for (uint32_t i = window.from; i < window.to && i < window.from + 6; ++i) {
    detail.Add(i == window.from ? "calls: " : ", ")
        .Add(EngineFunctionName(EngineCallAt(i).function));
  }
  if (window.to == window.from) detail.Add("no calls");
}

bool ErasedInWindow(const ListedForm& entry, CallWindow window, Line& seen) {
  const uint64_t form = Bits(entry.form);
  const uint32_t begins =
      CountCallsWith(EngineFunction::BeginErase, 0, form, window.from, window.to);
  const uint32_t finishes =
      CountCallsWith(EngineFunction::FinishErase, 2, form, window.from, window.to);
  const uint32_t vErases =
      CountCallsWith(EngineFunction::EraseVForm, 0, form, window.from, window.to);
  if (begins + finishes + vErases == 0) {
    seen.Add("none");
    return false;
  }
  seen.Add("BeginErase x")
      .Decimal(begins)
      .Add(", FinishErase x")
      .Decimal(finishes)
      .Add(", EraseVForm x")
      .Decimal(vErases);
  if (!entry.erasedInTwoSteps) return begins == 0 && finishes == 0 && vErases == 1;
  const uint32_t holder = FirstCall(EngineFunction::GetFormHolder, 0, form, window);
  const uint32_t begin = FirstCall(EngineFunction::BeginErase, 0, form, window);
  const uint32_t finish = FirstCall(EngineFunction::FinishErase, 2, form, window);
  const bool ordered = holder < begin && begin < finish;
  if (!ordered) seen.Add(" (not GetFormHolder, BeginErase, FinishErase in that order)");
  return begins == 1 && finishes == 1 && vErases == 0 && ordered;
}

}  // namespace

uint32_t FirstCall(EngineFunction function, uint32_t position, uint64_t argument,
                   CallWindow window) {
  for (uint32_t i = window.from; i < window.to; ++i) {
    const EngineCall& call = EngineCallAt(i);
    if (call.function == function && call.args[position] == argument) return i;
  }
  return window.to;
}

void CheckArmedHandshake(const GameStart& start) {
  Check("Load: VKRXPlugin_Load returns true", start.loadResult);
  const CallWindow load{0, EngineCallCount()};
  Line calls;
  DescribeCalls(load, calls);
  Check("Load: the plugin handle is acquired before anything else",
        load.to > 0 && EngineCallAt(0).function == EngineFunction::AcquirePluginHandle, calls);
  Check("Load: the messaging service is requested as service 1, once",
        CountCalls(EngineFunction::LookupService, load.from, load.to) == 1 &&
            CountCallsWith(EngineFunction::LookupService, 0, 1, load.from, load.to) == 1,
        calls);
  Line listener;
  bool registered = ListenerCount() == 1;
  if (registered) {
    const ListenerRegistration& registration = ListenerAt(0);
    listener.Add("handle 0x").Hex(registration.handle).Add(", sender ").Quoted(registration.sender);
    registered = registration.handle == PluginHandle && TextEquals(registration.sender, "VKRX") &&
                 InPlugin(start, Bits(reinterpret_cast<const void*>(registration.listener)));
  } else {
    listener.Decimal(ListenerCount()).Add(" listeners registered");
  }
  Check("Load: one listener is registered, with the acquired handle and the sender \"VKRX\"",
        registered, listener);
  Check("Load: the listener is registered after the start-up notice was closed",
        ListenerCount() == 1 && ListenerAt(0).boxesShownBefore == 1);
}

void CheckSinksAttached(const GameStart& start, CallWindow window) {
  Line calls;
  DescribeCalls(window, calls);
  bool shaped = window.to - window.from == 3;
  if (shaped) {
    const EngineCall& first = EngineCallAt(window.from);
    const EngineCall& fetch = EngineCallAt(window.from + 1);
    const EngineCall& second = EngineCallAt(window.from + 2);
    shaped =
        first.function == EngineFunction::AttachSink && first.args[0] == Bits(&LoadGameSource()) &&
        fetch.function == EngineFunction::GetPlayerUpdateEventSource &&
        second.function == EngineFunction::AttachSink &&
        second.args[0] == Bits(&Game().playerUpdateSource) && first.args[1] != second.args[1] &&
        InPlugin(start, first.args[1]) && InPlugin(start, second.args[1]);
  }
  Check(
      "Listener: message type 2 attaches the load-game sink, then fetches the player-update "
      "source once and attaches the player-update sink to it",
      shaped, calls);
}

void CheckPassUnderLock(const char* name, CallWindow window) {
  const uint32_t locks = CountCalls(EngineFunction::LockFormTable, window.from, window.to);
  const uint32_t unlocks = CountCalls(EngineFunction::UnlockFormTable, window.from, window.to);
  uint32_t erasesOutside = 0;
  for (uint32_t i = window.from; i < window.to; ++i) {
    const EngineCall& call = EngineCallAt(i);
    const bool erase = call.function == EngineFunction::BeginErase ||
                       call.function == EngineFunction::FinishErase ||
                       call.function == EngineFunction::EraseVForm;
    if (erase && call.lockDepth != 1) ++erasesOutside;
  }
  Line detail;
  detail.Add("locked ")
      .Decimal(locks)
      .Add(" time(s), unlocked ")
      .Decimal(unlocks)
      .Add(" time(s), ")
      .Decimal(erasesOutside)
      .Add(" erase call(s) outside the lock");
  Check(name, locks == 1 && unlocks == 1 && erasesOutside == 0 && TableLockDepth() == 0, detail);
}

void CheckErasures(const World& world, Outposts outposts, CallWindow first, CallWindow second) {
  static const char* const expectations[] = {": stays", ": erased at the first load",
                                             ": erased at the second load"};
  for (uint32_t i = 0; i < world.count; ++i) {
    const ListedForm& entry = world.listed[i];
    if (entry.form == nullptr) continue;
    const uint8_t expected = entry.erasedAt[outposts == Outposts::Kept ? 0 : 1];
    Line name;
    name.Add("Erasure: ").Add(entry.rule).Add(expectations[expected]);
    Line seen;
    seen.Add("first load: ");
    const bool firstErased = ErasedInWindow(entry, first, seen);
    seen.Add("; second load: ");
    const bool secondErased = ErasedInWindow(entry, second, seen);
    // A window with erase calls that were not exactly one erasure shows in the counts too.
    const uint32_t firstCalls =
        CountCallsWith(EngineFunction::BeginErase, 0, Bits(entry.form), first.from, first.to) +
        CountCallsWith(EngineFunction::EraseVForm, 0, Bits(entry.form), first.from, first.to);
    const uint32_t secondCalls =
        CountCallsWith(EngineFunction::BeginErase, 0, Bits(entry.form), second.from, second.to) +
        CountCallsWith(EngineFunction::EraseVForm, 0, Bits(entry.form), second.from, second.to);
    const bool right = (expected == 1 ? firstErased : firstCalls == 0) &&
                       (expected == 2 ? secondErased : secondCalls == 0);
    Check(name.Text(), right, seen);
  }
}

void CheckCasts(uint32_t atLeast) {
  const uint32_t casts = CountCalls(EngineFunction::GameDynamicCast, 0, EngineCallCount());
  Line painted;
  painted.Decimal(casts).Add(" cast(s)");
  if (FaultCount(ContractFault::CastSlotUnpainted) != 0) {
    painted.Add("; ");
    DescribeFaults(ContractFault::CastSlotUnpainted, painted);
  }
  Check(
      "GameDynamicCast: each fifth argument's slot lay in stack painted after the plugin's "
      "previous engine call",
      casts >= atLeast && FaultCount(ContractFault::CastSlotUnpainted) == 0, painted);
  Line zeros;
  uint32_t wrong = 0;
  for (uint32_t i = 0; i < EngineCallCount(); ++i) {
    const EngineCall& call = EngineCallAt(i);
    if (call.function != EngineFunction::GameDynamicCast) continue;
    if (call.args[1] == 0 && call.args[4] == 0) continue;
    if (wrong++ == 0)
      zeros.Add("second 0x").Hex(call.args[1]).Add(", fifth 0x").Hex(call.args[4]).Add("; ");
  }
  zeros.Decimal(wrong).Add(" of ").Decimal(casts).Add(" cast(s) wrong");
  Check("GameDynamicCast: the second and fifth arguments are 64-bit zeros",
        casts >= atLeast && FaultCount(ContractFault::CastZeroArguments) == 0, zeros);
}

void CheckEngineContract() {
  struct ContractLine {
    ContractFault fault;
    const char* name;
  };
  static const ContractLine lines[] = {
      {ContractFault::MisalignedEntry,
       "Engine: every engine and loader function is entered with RSP 8 modulo 16"},
      {ContractFault::ByteArgument,
       "Engine: byte arguments are right in their low 8 bits (GetFormHolder's 1, "
       "FindAttachedList's 0x80)"},
      {ContractFault::OtherArgument,
       "Engine: every other argument is the object, address, null or zero the game expects"},
      {ContractFault::UnexpectedCall,
       "Engine: no virtual slot but GetFormType's, and no operator delete, is called"},
  };
  for (const ContractLine& line : lines) {
    Line detail;
    if (FaultCount(line.fault) != 0) DescribeFaults(line.fault, detail);
    Check(line.name, FaultCount(line.fault) == 0, detail);
  }
}
