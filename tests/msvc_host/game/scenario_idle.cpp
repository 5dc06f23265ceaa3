#include "game/box_checks.h"
#include "game/checks.h"
#include "game/engine_calls.h"
#include "game/game_start.h"
#include "game/loader.h"
#include "game/notice_texts.h"
#include "game/register_thunk.h"
#include "game/run_checks.h"
#include "game/scenarios.h"
#include "seam.h"

void RunIdleStart() {
  GameStart start;
  StartGame(Idle, true, start);
  if (!start.reachedLoad) return;
  Check("Idle: VKRXPlugin_Load returns true", start.loadResult);
  Line calls;
  for (uint32_t i = 0; i < EngineCallCount(); ++i) {
    calls.Add(i == 0 ? "calls: " : ", ").Add(EngineFunctionName(EngineCallAt(i).function));
  }
  Check("Idle: the plugin handle is acquired, and nothing more is asked of the loader or the game",
        EngineCallCount() == 1 && EngineCallAt(0).function == EngineFunction::AcquirePluginHandle,
        calls);
  Check("Idle: no listener is registered", ListenerCount() == 0);
  CheckBoxCount("Idle: no box is shown", 0);
  const char* settings = GlueReadSettings();
  Check("Idle: the settings file is left as it was", TextEquals(settings, Idle));
  CheckEngineContract();
  CheckRegistersKept(PluginCallKind::Load,
                     "Registers: VKRXPlugin_Load keeps RBX, RBP, RDI, RSI, R12-R15, XMM6-XMM15");
}
