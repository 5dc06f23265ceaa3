// The tables pass_bench walks: forms allocated one after another in creation order, as the
// game creates them, but placed in hash order (each in a random slot), so that a walk of the
// slots visits memory at random. Two shapes:
//   game:  objects of the game's sizes. Every 'K', 'J' and 'V' form, loaded or run-time, is
//          0x300 bytes, other types 0x100; loaded bases come from a pool of 4096 shared by
//          many forms, and each run-time base is allocated just after the form it came with.
//   small: the earlier world, kept reproducible: loaded forms of 0x30 bytes, run-time forms
//          as small as their last member allows, bases from pools of 256 that stay in cache.
// Both: 60% of the run-time 'K' and 'J' forms have a run-time base, 15% a loaded base with
// an '8' related form, 25% a loaded base without; bases are not listed in the table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "sim/game_memory.h"

namespace bench {

enum class WorldShape { Game, Small };

struct WorldSettings {
  WorldShape shape = WorldShape::Game;
  unsigned runtimePercent = 25;        // of the live forms
  std::string typeMix = "KKKJJJVVVX";  // each live form's type, drawn from these
};

class WorldBuilder {
 public:
  // Makes the objects forms share and the engine singletons the pass needs (outpost
  // marker, kept-form source, list-marker form).
  explicit WorldBuilder(const WorldSettings& settings);

  // A slot array of `slotCount` slots, `occupancy` of them live, the rest empty. Run-time
  // forms take FormIds from `runtimeStart` on, loaded ones from `loadedStart`.
  sim::TableSlot* BuildTable(std::uint64_t slotCount, unsigned seed, std::uint32_t runtimeStart,
                             std::uint32_t loadedStart, double occupancy);

  // The size of the run-time forms of each type code (0 for codes never made).
  std::array<std::size_t, 256> RuntimeFormBytes() const;

 private:
  std::size_t FormBytes(char type, bool runtime) const;
  void* MakeForm(std::mt19937& random, std::uint32_t& runtimeId, std::uint32_t& loadedId);
  void* RuntimeFormWithBase(std::mt19937& random, std::uint32_t formId, char type, unsigned roll);

  WorldSettings settings_;
  std::vector<void*> runtimeBases_, loadedBases_, loadedEightBases_;  // pools
  void* holderNamed_ = nullptr;
  void* outpostHolder_ = nullptr;
  void* listMarkedParent_ = nullptr;
  std::uint32_t runtimeBaseId_ = 0xFFC00000u;  // bases made with their forms (game shape)
};

}  // namespace bench
