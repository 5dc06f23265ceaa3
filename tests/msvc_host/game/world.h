// The small world the whole runs clean: forms of every rule the plugin applies, each listed in
// the game's form table with the load (if any) that must erase it.
#pragma once

#include <stdint.h>

#include "game/forms.h"

enum class Outposts : uint8_t { Kept, Erased };

struct ListedForm {
  const char* rule;       // what makes the form what it is
  GameForm* form;         // null for a slot without a form
  uint32_t key;           // the slot's key
  bool emptySlot;         // the slot's state marks it empty
  uint8_t listedFrom;     // 1; 2 for a form that the save and reload left behind
  uint8_t erasedAt[2];    // the load that erases it (0: none), with outposts kept / erased
  bool erasedInTwoSteps;  // 'K' and 'J': BeginErase then FinishErase; 'V': EraseVForm
};

struct World {
  static constexpr uint32_t Capacity = 40;
  ListedForm listed[Capacity];
  uint32_t count = 0;
};

// Forms of every rule, the kept-form source and the outpost marker's items.
World& BuildWorldOfEveryRule();
// Two 'V' forms whose parents the plugin casts, one of them list-marked: the least the
// classification path needs.
World& BuildWorldForTheCast();

// Lists in the form table every form listed from that load on (1 or 2), in order.
void ListInTable(const World& world, uint8_t load);
