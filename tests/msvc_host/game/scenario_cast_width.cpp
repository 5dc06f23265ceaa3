// The cast's fifth argument is passed on the stack. A 4-byte store into its 8-byte slot leaves
// the upper half as whatever lay there, and which of the plugin's frames last wrote there
// depends on the path it took before the cast. Every engine function here paints the stack
// below its caller when it returns, so whatever the path, the slot holds the paint unless the
// plugin wrote it since its last engine call; the check that the slot lay in that freshly
// painted area makes sure the width check keeps its power if the plugin's frames change.
#include "game/checks.h"
#include "game/event_dispatch.h"
#include "game/game_start.h"
#include "game/loader.h"
#include "game/notice_texts.h"
#include "game/run_checks.h"
#include "game/scenarios.h"
#include "game/world.h"
#include "seam.h"

void RunCastWidth() {
  World& world = BuildWorldForTheCast();
  ListInTable(world, 1);
  GameStart start;
  StartGame(ArmedKeepingOutposts, true, start);
  if (!start.reachedLoad) return;
  SendLoaderMessage(2);
  const CallWindow first = DispatchLoadGame("the load-game event of a world of two cast parents");
  CheckCasts(2);
  CheckErasures(world, Outposts::Kept, first, {first.to, first.to});
}
