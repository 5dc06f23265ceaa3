#include "tests/random_tables/random_tables.h"

#include <cstdio>
#include <random>
#include <set>

namespace random_tables {
namespace {

class Generator {
 public:
  Generator(unsigned seed, std::uint32_t idBase) : random_(seed), nextId_(idBase) {}

  Table Make() {
    Table table;
    table.eraseOutposts = Chance(50);
    table.bases = {{7, false, ""}};
    for (int i = 0; i < 12; ++i) {
      const bool runtime = Chance(50);
      static const char* Related[] = {"", "8", "other", "fault"};
      table.bases.push_back(
          {(runtime ? 0xFFF0A000u : 0x00F0A000u) + i, runtime, runtime ? "" : Related[Pick(4)]});
    }
    for (int i = 0; i < 8; ++i) table.named.push_back({0x00F02000u + i, !Chance(25), Chance(40)});
    for (int i = 0, n = 60 + Pick(120); i < n; ++i) table.first.push_back(MakeForm(table));
    for (int i = 0, n = Pick(40); i < n; ++i) table.added.push_back(MakeForm(table));
    std::vector<int> vForms;
    for (int i = 0; i < static_cast<int>(table.first.size()); ++i) {
      const Form& f = table.first[i];
      if (f.type == 'V' && !f.empty && !f.nullForm && f.fault.empty()) vForms.push_back(i);
    }
    if (vForms.size() >= 2 && Chance(70)) {
      table.keptA = vForms[0];
      table.keptBFaults = Chance(25);
      if (table.keptBFaults) table.first[table.keptA].parent = false;  // past the fault
      if (!table.keptBFaults && Chance(70)) table.keptB = vForms[1];
    }
    // Drawn last, so that the rest of a seed's table stays as it always was.
    if (Chance(50)) table.bases[0].related = "8";  // FormId 7 keeps its forms regardless
    const int change = Pick(10);
    if (change < 2) {
      table.change = {TableChange::Kind::Move, 1 + static_cast<std::uint64_t>(Pick(40)), 0};
    } else if (change < 4) {
      table.change = {TableChange::Kind::Shrink, 1 + static_cast<std::uint64_t>(Pick(40)),
                      1 + static_cast<std::uint64_t>(Pick(30))};
    }
    return table;
  }

 private:
  bool Chance(int percent) { return static_cast<int>(random_() % 100) < percent; }
  int Pick(int count) { return static_cast<int>(random_() % static_cast<unsigned>(count)); }

  std::string MarkerItems() {
    static const char* Shapes[] = {"none", "x", "0;x", "m", "x;m", "0;0;m", "nullentries"};
    return Shapes[Pick(7)];
  }

  Form MakeForm(const Table& table) {
    Form f;
    f.id = (Chance(75) ? 0xFF000000u : 0x00100000u) | nextId_++;
    static const char Types[] = {'K', 'K', 'J', 'J', 'V', 'V', 'V', 'X', '8'};
    f.type = Types[Pick(9)];
    f.empty = Chance(6);
    f.keyMismatch = Chance(3);
    f.nullForm = Chance(3);
    if (f.type == 'K' || f.type == 'J' || f.type == 'X') {
      f.base = Chance(10) ? -1 : Pick(static_cast<int>(table.bases.size()));
      f.hold = Chance(10);
      f.held = Chance(10);
      static const char* Holders[] = {"none", "nolist", "10;01", "00", "11", "10;11"};
      f.holder = Holders[Pick(6)];
      if (Chance(6)) {
        f.fault = "base";
        f.base = -1;  // the member is unreadable: nothing can be put there
        f.hold = false;
        f.holder = "none";
      } else if (Chance(6)) {
        // Past a faulting hold link the form must stop before the attached-list read, which
        // is plain: no base, base 7, or a loaded base without an '8'.
        f.fault = "hold";
        f.hold = false;
        f.holder = "none";
        f.base = Chance(50) ? -1 : 0;
      }
    } else if (f.type == 'V') {
      f.parent = Chance(60);
      static const char* Casts[] = {"none", "nomarker", "marker", "copy"};
      f.cast = Casts[Pick(4)];
      for (int i = 0, n = Pick(4); i < n; ++i) {
        f.ids.push_back(Chance(15) ? -1 : Pick(static_cast<int>(table.named.size())));
      }
      f.holderA = MarkerItems();
      f.holderB = MarkerItems();
      static const char* Faults[] = {"parent", "holdera", "holderb"};
      if (Chance(12)) f.fault = Faults[Pick(3)];
      // Members at and past the faulting one cannot be filled in.
      if (f.fault == "holderb" || f.fault == "holdera") f.holderA = "none";
      if (f.fault == "holderb") f.holderB = "none";
      if (!f.fault.empty()) f.parent = false;
    }
    return f;
  }

  std::mt19937 random_;
  std::uint32_t nextId_;
};

std::string Reason(const Table& table, const Form& f, const std::set<const Form*>& kept,
                   bool applyOutpostSetting = true);

// The forms GetKeptForm and its KeptFormB name, by address.
std::set<const Form*> KeptForms(const Table& table) {
  std::set<const Form*> kept;
  if (table.keptA >= 0) kept.insert(&table.first[table.keptA]);
  if (table.keptB >= 0) kept.insert(&table.first[table.keptB]);
  return kept;
}

// A form line, with what the rules must do with the form (`expect=`, for the simulator's
// tally; an outpost says so whatever the setting).
std::string FormLine(const Table& table, const std::set<const Form*>& kept, const Form& f) {
  if (f.empty) return "empty\n";
  std::string line = "form " + Hex(f.id) + " " + f.type;
  if (f.keyMismatch) line += " key=" + Hex(f.id ^ 0x00800000u);
  if (f.nullForm) line += " nullform";
  if (!f.fault.empty()) line += " fault=" + f.fault;
  if (f.base >= 0) line += " base=" + Hex(table.bases[f.base].id);
  if (f.hold) line += " hold";
  if (f.held) line += " held";
  if (f.holder != "none") line += " holder=" + f.holder;
  if (f.type == 'V') {
    if (f.parent) {
      line += " parent ids=";
      for (const int index : f.ids)
        line += (index < 0 ? "0000F00D" : Hex(table.named[index].id)) + ";";
      if (f.ids.empty()) line += "0";
      if (f.cast == "nomarker") line += " cast=0;00000801";
      if (f.cast == "marker") line += " cast=0;0020C59F";
      if (f.cast == "copy") line += " cast=+0020C59F";
    }
    if (f.holderA != "none") line += " holdera=" + f.holderA;
    if (f.holderB != "none") line += " holderb=" + f.holderB;
  }
  if (f.type == 'K' || f.type == 'J' || f.type == 'V') {
    line += " expect=" + Reason(table, f, kept, false);
  }
  return line + "\n";
}

// The rules, restated from the player's point of view.
bool Runtime(std::uint32_t id) {
  return (id >> 24) == 0xFF;
}

bool HasMatch(const std::string& items) {
  return items.find('m') != std::string::npos;
}

int NamedAttachedItems(const std::string& holder) {
  int count = 0;
  for (std::size_t at = holder.find("11"); at != std::string::npos;
       at = holder.find("11", at + 1)) {
    ++count;
  }
  return holder == "none" || holder == "nolist" ? 0 : count;
}

// What the rules do with an examined form whose slot names it: "erase", or why it is kept.
std::string Reason(const Table& table, const Form& f, const std::set<const Form*>& kept,
                   bool applyOutpostSetting) {
  if (f.type == 'K' || f.type == 'J') {
    const std::string prefix = f.type == 'K' ? "k-" : "j-";
    if (f.hold) return prefix + "hold-link";
    if (f.base < 0 || f.fault == "base") return prefix + "no-base";
    const Base& base = table.bases[f.base];
    if (f.type == 'K') {
      if (base.id == 7) return "k-base-7";
      if (!base.runtime && base.related != "8") return "k-loaded-base";
    } else if (!base.runtime) {
      return "j-loaded-base";
    }
    if (NamedAttachedItems(f.holder) != 0) return prefix + "named-items";
    return f.held ? prefix + "held" : "erase";
  }
  if (f.type != 'V') return "other-type";
  if (kept.count(&f)) return "v-kept-form";
  const bool parentReadable = f.parent && f.fault.empty();
  if (parentReadable && (f.cast == "marker" || f.cast == "copy")) return "v-list-marked";
  bool outpost = false;
  if (parentReadable) {
    for (const int index : f.ids) {
      if (index >= 0 && table.named[index].resolvable && table.named[index].matches) outpost = true;
    }
  }
  if (f.fault != "holdera" && f.fault != "holderb" && HasMatch(f.holderA)) outpost = true;
  if (f.fault != "holderb" && HasMatch(f.holderB)) outpost = true;
  if (!outpost) return "erase";
  return applyOutpostSetting && table.eraseOutposts ? "erase" : "v-outpost";
}

// Whether one judgement of the form meets an unreadable member: each member from the
// faulting one on is unreadable, and the rules read members in their order until one decides.
bool UnreadableOnVisit(const Table& table, const Form& f, const std::string& reason) {
  if (f.type == 'V') {
    // ParentObject, read first, lies past both holders.
    return reason != "v-kept-form" && !f.fault.empty();
  }
  if (f.type != 'K' && f.type != 'J') return false;
  if (f.fault == "hold" || f.fault == "base") return true;  // HoldLink lies past BaseObject
  if (reason == "k-hold-link" || reason == "j-hold-link") return false;
  if (f.type == 'J' || f.base < 0) return false;
  const Base& base = table.bases[f.base];
  return base.id != 7 && !base.runtime && base.related == "fault";  // BaseRelatedForm
}

}  // namespace

std::string Hex(std::uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

std::vector<std::string> ErasuresOf(const std::vector<sim::EraseCall>& calls) {
  std::vector<std::string> erasures;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string id = Hex(calls[i].formId);
    if (calls[i].kind == 'V') {
      erasures.push_back("V " + id);
    } else if (calls[i].kind == 'B' && i + 1 < calls.size() && calls[i + 1].kind == 'F' &&
               calls[i + 1].formId == calls[i].formId) {
      erasures.push_back("KJ " + id);
      ++i;
    } else {
      erasures.push_back(std::string(1, calls[i].kind) + "? " + id);
    }
  }
  return erasures;
}

Table MakeTable(unsigned seed, std::uint32_t idBase) {
  return Generator(seed, idBase).Make();
}

std::string WorldBeforeFirstLoad(const Table& table) {
  const std::set<const Form*> kept = KeptForms(table);
  std::string script;
  for (const Base& base : table.bases) {
    script += "form " + Hex(base.id) + " S list=0";
    if (base.related == "8") script += " related=00000800";
    if (base.related == "other") script += " related=00000801";
    if (base.related == "fault") script += " fault=related";
    script += "\n";
  }
  script += "form 00000800 8 list=0\nform 00000801 Q list=0\n";
  for (const Named& named : table.named) {
    script += "form " + Hex(named.id) + " G list=0 items=" + (named.matches ? "x;m" : "x") +
              (named.resolvable ? "" : " lookup=0") + "\n";
  }
  for (std::size_t i = 0; i < table.first.size(); ++i) {
    std::string line = FormLine(table, kept, table.first[i]);
    if (static_cast<int>(i) == table.keptA && table.keptBFaults) {
      line.insert(line.size() - 1, " fault=keptb");
    } else if (static_cast<int>(i) == table.keptA && table.keptB >= 0) {
      line.insert(line.size() - 1, " keptb=" + Hex(table.first[table.keptB].id));
    }
    script += line;
  }
  if (table.keptA >= 0) script += "kept-a " + Hex(table.first[table.keptA].id) + "\n";
  return script;
}

std::string WorldAddedForSecondLoad(const Table& table) {
  std::string lines;
  const std::set<const Form*> kept = KeptForms(table);
  for (const Form& f : table.added) lines += FormLine(table, kept, f);
  return lines;
}

std::string ChangeLine(const Table& table) {
  const TableChange& change = table.change;
  switch (change.kind) {
    case TableChange::Kind::Move:
      return "on-erase " + std::to_string(change.atErasure) + " move\n";
    case TableChange::Kind::Shrink:
      return "on-erase " + std::to_string(change.atErasure) + " shrink " +
             std::to_string(change.shrinkBy) + "\n";
    case TableChange::Kind::None:
      break;
  }
  return "";
}

std::string Script(const Table& table) {
  return WorldBeforeFirstLoad(table) + ChangeLine(table) + "load\nmessage 2\nloadgame\n" +
         WorldAddedForSecondLoad(table) + "loadgame\n";
}

// Both passes walk the slots as the table holds them: the first load's forms, then the
// second load's added ones (the table is built again only when forms were added). A move
// restarts the walk at the first slot; a shrink ends it at the new count. Counting follows
// the report: after a restart each form counts once.
ModelResult Model(const Table& table) {
  const std::set<const Form*> kept = KeptForms(table);
  std::vector<const Form*> slots;
  for (const Form& f : table.first) slots.push_back(&f);
  std::uint64_t count = slots.size();
  std::set<std::uint32_t> erasedBefore;
  std::uint64_t erasureNumber = 0;
  ModelResult result;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1 && !table.added.empty()) {
      for (const Form& f : table.added) slots.push_back(&f);
      count = slots.size();
    }
    PassCounts& counts = result.counts[pass];
    counts.keptBUnreadable = table.keptBFaults;  // KeptFormB is read once a pass
    counts.eraseOutposts = table.eraseOutposts;
    std::set<std::uint32_t> erasedNow;
    std::uint64_t unreadableErased = 0;  // outlive a restart, as the erasures do
    for (std::uint64_t i = 0; i < count; ++i) {
      const Form& f = *slots[i];
      if (f.empty) continue;
      ++counts.inUse;
      const std::uint32_t key = f.keyMismatch ? f.id ^ 0x00800000u : f.id;
      if (!Runtime(key)) continue;
      if (erasedBefore.count(key)) {
        ++counts.examined;
        ++counts.skipped;
        continue;
      }
      if (erasedNow.count(key)) continue;  // met again after a restart
      ++counts.examined;
      if (f.nullForm || f.keyMismatch) {
        ++counts.kept["no-form"];
        continue;
      }
      const std::string reason = Reason(table, f, kept);
      const bool unreadable = UnreadableOnVisit(table, f, reason);
      counts.unreadable += unreadable;
      if (reason != "erase") {
        ++counts.kept[reason];
        continue;
      }
      erasedNow.insert(key);
      unreadableErased += unreadable;
      ++counts.erased[f.type];
      counts.erasedOutposts += f.type == 'V' && Reason(table, f, kept, false) == "v-outpost";
      result.erasures[pass].push_back((f.type == 'V' ? "V " : "KJ ") + Hex(f.id));
      if (++erasureNumber != table.change.atErasure) continue;
      if (table.change.kind == TableChange::Kind::Move) {
        ++counts.restarts;
        counts.inUse = 0;
        counts.kept.clear();
        counts.skipped = 0;
        counts.unreadable = unreadableErased;
        counts.examined = erasedNow.size();
        i = static_cast<std::uint64_t>(-1);  // the next slot is the first
      } else if (table.change.kind == TableChange::Kind::Shrink) {
        count = count > table.change.shrinkBy ? count - table.change.shrinkBy : 0;
      }
    }
    counts.slots = count;
    erasedBefore.insert(erasedNow.begin(), erasedNow.end());
  }
  return result;
}

}  // namespace random_tables
