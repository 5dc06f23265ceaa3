// Generated FormTables for comparing the cleaning pass with a model of its rules written
// here, independently of the product. Used by the end-to-end comparison (a few tables
// through the real DLL) and by the lean pass runner (many tables in one process).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/engine_stubs.h"

namespace random_tables {

struct Base {
  std::uint32_t id;
  bool runtime;
  std::string related;  // "", "8", "other", "fault"
};

struct Named {  // forms named by IdLists
  std::uint32_t id;
  bool resolvable;
  bool matches;
};

struct Form {
  std::uint32_t id = 0;
  char type = 'K';
  bool empty = false, keyMismatch = false, nullForm = false;
  int base = -1;  // index into bases
  bool hold = false, held = false;
  std::string fault;            // "", base, hold, parent, holdera, holderb
  std::string holder = "none";  // attached entries
  bool parent = false;
  std::string cast = "none";  // none, nomarker, marker, copy
  std::vector<int> ids;       // indexes into named; -1 an id nobody has
  std::string holderA = "none", holderB = "none";
};

// What an erase call does to the table under the walk, at the Nth erase call of the run
// (counted over both passes): nothing, move the slot array, or shrink the slot count.
struct TableChange {
  enum class Kind { None, Move, Shrink } kind = Kind::None;
  std::uint64_t atErasure = 0;
  std::uint64_t shrinkBy = 0;
};

struct Table {
  std::vector<Base> bases;
  std::vector<Named> named;
  std::vector<Form> first, added;  // the second load sees first + added
  int keptA = -1, keptB = -1;      // indexes into first ('V' forms)
  bool keptBFaults = false;
  bool eraseOutposts = false;
  TableChange change;
};

// The table for a seed. FormIds of its own forms start at `idBase` (below 0x00800000), so
// that tables made with bases far enough apart share no FormId; the bases and the forms
// IdLists name lie above 0x00F00000 (0xFFF00000 for run-time ones), where no table reaches.
Table MakeTable(unsigned seed, std::uint32_t idBase = 0x1000);
// The most FormIds one table takes from its base.
inline constexpr std::uint32_t IdsPerTable = 256;

// Scenario lines (sim/README.md): the world before the first load, and what the second
// load adds.
std::string WorldBeforeFirstLoad(const Table& table);
std::string WorldAddedForSecondLoad(const Table& table);
// "on-erase N move" or "on-erase N shrink K", or nothing.
std::string ChangeLine(const Table& table);
// A whole scenario for kelvarion_sim: the world, start, attach, two loads.
std::string Script(const Table& table);

// What a pass counts, as the report shows it. Kept reasons by the names of the report
// reader's KeptReasonLabels; erased forms by type code.
struct PassCounts {
  std::uint64_t slots = 0, inUse = 0, restarts = 0, examined = 0, skipped = 0, unreadable = 0;
  bool keptBUnreadable = false;
  std::map<char, std::uint64_t> erased;
  std::map<std::string, std::uint64_t> kept;
  std::uint64_t erasedOutposts = 0;
  bool eraseOutposts = false;
};

// For each pass: the erase calls it makes, in order ("KJ <id>" for BeginErase then
// FinishErase, "V <id>" for EraseVForm), and what it counts.
struct ModelResult {
  std::vector<std::string> erasures[2];
  PassCounts counts[2];
};
ModelResult Model(const Table& table);

std::string Hex(std::uint32_t value);

// Erase calls as the engine saw them, in the model's notation: "KJ <id>" for BeginErase
// directly followed by FinishErase of the same form, "V <id>" for EraseVForm, anything else
// as "<kind>? <id>" (a broken sequence).
std::vector<std::string> ErasuresOf(const std::vector<sim::EraseCall>& calls);

}  // namespace random_tables
