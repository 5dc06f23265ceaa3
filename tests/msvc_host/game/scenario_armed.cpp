#include "game/box_checks.h"
#include "game/checks.h"
#include "game/engine_calls.h"
#include "game/event_dispatch.h"
#include "game/game_objects.h"
#include "game/game_start.h"
#include "game/loader.h"
#include "game/notice_texts.h"
#include "game/register_thunk.h"
#include "game/run_checks.h"
#include "game/scenarios.h"
#include "seam.h"

namespace {

constexpr int64_t Millisecond = 1000000;
// The monitor shows a pending notice after a pause of at least 3.001 s, not 3 s.
constexpr int64_t ShortOfThePause = 3000 * Millisecond;
constexpr int64_t ThePause = 3001 * Millisecond;

// Player updates every half second for three seconds: no pause long enough for a notice.
void PlayWithoutPausing(const char* step) {
  for (int i = 0; i < 6; ++i) PlayerUpdateAfter(500 * Millisecond, step);
}

// Returns the plugin's load-game sink, as the listener attached it.
uint64_t StartAndAttach(const GameStart& start) {
  CheckArmedHandshake(start);
  CheckBox("Load: the start-up notice", 0, false, StartupNotice);
  CheckBoxCount("Load: one box, the start-up notice", 1);

  const uint32_t beforeMessages = EngineCallCount();
  SendLoaderMessage(0);
  SendLoaderMessage(1);
  SendLoaderMessage(3);
  Check("Listener: messages of types 0, 1 and 3 call no engine function",
        EngineCallCount() == beforeMessages);
  const uint32_t attachFrom = EngineCallCount();
  SendLoaderMessage(2);
  CheckSinksAttached(start, {attachFrom, EngineCallCount()});
  return attachFrom < EngineCallCount() ? EngineCallAt(attachFrom).args[1] : 0;
}

// The first load, and the notice after the pause that follows.
CallWindow FirstPhase() {
  PlayWithoutPausing("player updates before the first load");
  CheckBoxCount("Monitor: no notice before the first load", 1);
  const CallWindow first = DispatchLoadGame("the first load's load-game event");
  CheckPassUnderLock(
      "First load: one pass, the table lock taken and released once around every erase", first);
  PlayWithoutPausing("player updates after the first load, less than 3.001 s apart");
  PlayerUpdateAfter(ShortOfThePause, "a player update 3 s after the last");
  CheckBoxCount("Monitor: no notice while updates come less than 3.001 s apart", 1);
  PlayerUpdateAfter(ThePause, "a player update 3.001 s after the last");
  CheckBox("Monitor: the first phase notice after a pause of 3.001 s", 1, false, FirstPhaseNotice);
  return first;
}

// The second load, the disarm and the second notice; the load-game sink detached before it.
CallWindow SecondPhase(const GameStart& start, const World& world, uint64_t loadSink) {
  ListInTable(world, 2);
  const CallWindow second = DispatchLoadGame("the second load's load-game event");
  CheckPassUnderLock(
      "Second load: one pass, the table lock taken and released once around every erase", second);
  const CallWindow notice = PlayerUpdateAfter(ThePause, "the player update that ends the run");
  CheckBox("Monitor: the second phase notice, without the warning", 2, false, SecondPhaseNotice);
  // Detached once, from the load-game source, while two boxes had been shown: before the third.
  const uint32_t detach = FirstCall(EngineFunction::DetachSink, 1, loadSink, notice);
  const bool detachedFirst =
      CountCalls(EngineFunction::DetachSink, notice.from, notice.to) == 1 && detach < notice.to &&
      EngineCallAt(detach).args[0] == reinterpret_cast<uint64_t>(&LoadGameSource()) &&
      EngineCallAt(detach).boxesShown == 2 && InPlugin(start, loadSink);
  Check("Monitor: the load-game sink is detached before the second notice",
        detachedFirst &&
            !LoadGameSource().Holds(reinterpret_cast<ZKTEventDetail::SinkBase*>(loadSink)));
  CheckSetting("Disarm: bPluginActive is 0 while the second notice is open", "bPluginActive", "0",
               2);
  CheckSetting("Disarm: bPluginActive stays 0", "bPluginActive", "0");
  return second;
}

void AfterTheRun() {
  const CallWindow third = DispatchLoadGame("a third load, after the run");
  Check("After the run: a third load reaches no engine function", third.to == third.from);
  PlayWithoutPausing("player updates after the run");
  PlayerUpdateAfter(ThePause, "a player update 3.001 s later, after the run");
  CheckBoxCount("After the run: no further box", 3);
  Line terminations;
  terminations.Decimal(GlueTerminationCount()).Add(" call(s)");
  Check("After the run: the plugin never called TerminateProcess", GlueTerminationCount() == 0,
        terminations);
}

}  // namespace

void RunArmedCleaning(Outposts outposts) {
  World& world = BuildWorldOfEveryRule();
  ListInTable(world, 1);
  GameStart start;
  StartGame(outposts == Outposts::Kept ? ArmedKeepingOutposts : ArmedErasingOutposts, true, start);
  if (!start.reachedLoad) return;
  const uint64_t loadSink = StartAndAttach(start);
  const CallWindow first = FirstPhase();
  const CallWindow second = SecondPhase(start, world, loadSink);
  AfterTheRun();

  CheckErasures(world, outposts, first, second);
  CheckCasts(1);
  CheckEngineContract();
  CheckEventResults();
  CheckRegistersKept(PluginCallKind::Load,
                     "Registers: VKRXPlugin_Load keeps RBX, RBP, RDI, RSI, R12-R15, XMM6-XMM15");
  CheckRegistersKept(PluginCallKind::Listener, "Registers: the loader listener keeps them");
  CheckRegistersKept(PluginCallKind::LoadGameEvent, "Registers: the load-game sink keeps them");
  CheckRegistersKept(PluginCallKind::PlayerUpdateEvent,
                     "Registers: the player-update sink keeps them");
}
