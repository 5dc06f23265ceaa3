// The rules that decide, slot by slot, whether the cleaning pass erases a form.
#pragma once

#include <cstdint>

class PassTally;
struct GameForm;

// What every slot of one pass is judged against, fixed when the pass starts.
struct PassInputs {
  void* outpostMarker;
  const GameForm* listMarkerForm;
  const GameForm* keptFormA;
  const GameForm* keptFormB;
  bool eraseOutposts;
};

// Judges one in-use slot and erases its form when the rules allow; the FormId is recorded
// before the engine sees the first erase call. The tally learns the decision.
void VisitSlot(std::uint32_t key, GameForm* form, const PassInputs& inputs, PassTally& tally);
