#include "game/box_checks.h"
#include "game/checks.h"
#include "game/engine_calls.h"
#include "game/event_dispatch.h"
#include "game/game_start.h"
#include "game/loader.h"
#include "game/notice_texts.h"
#include "game/register_thunk.h"
#include "game/run_checks.h"
#include "game/scenarios.h"
#include "game/world.h"
#include "seam.h"

void RunFatalFirstLoad() {
  World& world = BuildWorldOfEveryRule();
  ListInTable(world, 1);
  GameStart start;
  StartGame(ArmedKeepingOutposts, false, start);
  if (!start.reachedLoad) return;
  CheckArmedHandshake(start);
  SendLoaderMessage(2);
  const CallWindow first =
      DispatchLoadGame("the first load's load-game event, without an outpost marker");

  CheckBox("Fatal: the line-572 box, MessageBoxW with the plugin's caption", 1, true,
           FirstLoadFatalText);
  CheckBoxCount("Fatal: the start-up notice and the fatal box, nothing else", 2);
  bool terminated = GlueTerminationCount() == 1;
  Line termination;
  termination.Decimal(GlueTerminationCount()).Add(" call(s)");
  if (terminated) {
    const GlueTermination& call = *GlueTerminationAt(0);
    termination.Add(call.currentProcess != 0 ? ", this process" : ", another handle")
        .Add(", exit code ")
        .Decimal(call.exitCode)
        .Add(", after ")
        .Decimal(call.boxesShownBefore)
        .Add(" box(es)");
    terminated = call.currentProcess != 0 && call.exitCode == 0 && call.boxesShownBefore == 2;
  }
  Check("Fatal: TerminateProcess(GetCurrentProcess(), 0) once the box is closed", terminated,
        termination);
  Check("Fatal: the pass stops before the table lock and erases nothing",
        CountCalls(EngineFunction::LockFormTable, first.from, first.to) == 0 &&
            CountCalls(EngineFunction::BeginErase, first.from, first.to) == 0 &&
            CountCalls(EngineFunction::EraseVForm, first.from, first.to) == 0);
  CheckSetting("Fatal: bPluginActive is still 1 while the box is open", "bPluginActive", "1", 1);
  PlayerUpdateAfter(3001000000, "a player update 3.001 s after the failed load");
  CheckBoxCount("Fatal: no phase notice follows the failed load", 2);
  CheckSetting("Fatal: the settings file keeps the plugin armed", "bPluginActive", "1");
  CheckEventResults();
  CheckEngineContract();
  CheckRegistersKept(PluginCallKind::LoadGameEvent,
                     "Registers: the load-game sink keeps them on the fatal path");
}
