#include "report/pass_section.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "report/kept_reasons.h"
#include "report/verdict.h"

namespace {

constexpr std::size_t ValueColumn = 52;  // where the figures of a pass section start
constexpr std::size_t ValueWidth = 10;

// With bEraseOutposts=1 no outpost is kept: the line says so, naming the setting in use.
constexpr const char* OutpostsErasedLabel = "'V': outpost (bEraseOutposts=1 erases them)";
constexpr const char* KeptReasonIndent = "    ";

constexpr const char* TypeNames[] = {"'K'", "'J'", "'V'"};
constexpr const char* ErasedTypeLabels[] = {"    'K' forms", "    'J' forms", "    'V' forms"};
static_assert(std::size(TypeNames) == ErasedTypeCount &&
                  std::size(ErasedTypeLabels) == ErasedTypeCount,
              "a name for every erased type");

constexpr const char* SlotsLabel = "  Slots in the table:";
constexpr const char* InUseLabel = "  Slots in use:";
constexpr const char* RestartsLabel = "  Walk restarts (the slot array moved):";
constexpr const char* PausedLabel = "  Game paused for this pass (table lock held):";
constexpr const char* ExaminedLabel = "  Run-time forms examined:";
constexpr const char* ErasedLabel = "  Erased:";
constexpr const char* KeptLabel = "  Kept:";
constexpr const char* SkippedLabel = "  Skipped (FormId erased by an earlier load):";
constexpr const char* UnreadableLabel = "  Forms with unreadable data (treated as absent):";

constexpr std::size_t Length(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}
// Every label leaves at least two blanks before its figure: readers split the line there.
constexpr bool Fits(const char* label, std::size_t indent) {
  return indent + Length(label) + 2 <= ValueColumn;
}
template <class Labels>
constexpr bool AllFit(const Labels& labels, std::size_t indent) {
  return std::all_of(std::begin(labels), std::end(labels),
                     [indent](const char* label) { return Fits(label, indent); });
}
constexpr bool LabelsFit() {
  const std::size_t indent = Length(KeptReasonIndent);
  return std::all_of(std::begin(KeptReasonTexts), std::end(KeptReasonTexts),
                     [indent](const KeptReasonText& entry) { return Fits(entry.label, indent); }) &&
         Fits(OutpostsErasedLabel, indent) && AllFit(ErasedTypeLabels, 0) &&
         AllFit(std::initializer_list<const char*>{SlotsLabel, InUseLabel, RestartsLabel,
                                                   PausedLabel, ExaminedLabel, ErasedLabel,
                                                   KeptLabel, SkippedLabel, UnreadableLabel},
                0);
}
static_assert(LabelsFit(), "a label of the report runs into its figure");

// What the player does when the box that follows this pass's report appears; none after a
// later pass, which no box follows.
const char* NextStep(unsigned pass) {
  switch (pass) {
    case 1:
      return "  Next: when the box says the phase is complete, create a new save in the Pause "
             "Menu and load it.";
    case 2:
      return "  Next: when the box appears, create a new save and quit; that save is the "
             "cleaned one.";
    default:
      return nullptr;
  }
}

ReportText& Figure(ReportText& text, const char* label, std::uint64_t value) {
  return text.Add(label).PadTo(ValueColumn).AddNumber(value, ValueWidth);
}

// "First load: 1500 forms erased (750 'K', 300 'J', 450 'V'), 930 kept."; a later load
// that erased nothing says that this is normal.
void AddHeadline(ReportText& text, unsigned pass, const PassCounters& counters,
                 std::uint64_t erased, std::uint64_t kept) {
  text.Add(LoadName(pass)).Add(": ");
  if (erased == 0 && pass > 1) {
    text.Add("nothing more to erase, a normal result.");
  } else if (erased == 0) {
    text.Add("nothing to erase, ").AddNumber(kept).Add(" kept.");
  } else {
    text.AddNumber(erased).Add(pass > 1 ? " more" : "");
    text.Add(erased == 1 ? " form erased (" : " forms erased (");
    AddErasedByKind(text, counters).Add("), ").AddNumber(kept).Add(" kept.");
  }
  text.EndLine();
}

std::int64_t TicksPerSecond() {
  LARGE_INTEGER ticksPerSecond;
  QueryPerformanceFrequency(&ticksPerSecond);
  return ticksPerSecond.QuadPart;
}

}  // namespace

ReportText& AddErasedByKind(ReportText& text, const PassCounters& counters) {
  for (std::size_t type = 0; type < ErasedTypeCount; ++type) {
    text.Add(type == 0 ? "" : ", ").AddNumber(counters.erased[type]).Add(" ");
    text.Add(TypeNames[type]);
  }
  return text;
}

const char* LoadName(unsigned pass) {
  switch (pass) {
    case 1:
      return "First load";
    case 2:
      return "Second load";
    default:
      return "Another load";
  }
}

void AddPassSection(ReportText& text, unsigned pass, const PassCounters& counters) {
  const std::uint64_t erased = ErasedCount(counters);
  const std::uint64_t kept = KeptCount(counters);
  text.AddTimestamp();
  AddHeadline(text, pass, counters, erased, kept);
  if (const char* next = NextStep(pass)) text.Add(next).EndLine();
  Figure(text, SlotsLabel, counters.slotsInTable).EndLine();
  Figure(text, InUseLabel, counters.slotsInUse).EndLine();
  Figure(text, RestartsLabel, counters.walkRestarts).EndLine();
  text.Add(PausedLabel).PadTo(ValueColumn);
  text.AddMilliseconds(counters.lockHeldTicks, TicksPerSecond(), ValueWidth).EndLine();
  Figure(text, ExaminedLabel, erased + kept + counters.skipped).Add("  (= ").AddNumber(erased);
  text.Add(" erased + ").AddNumber(kept).Add(" kept + ").AddNumber(counters.skipped);
  text.Add(" skipped)").EndLine();
  Figure(text, ErasedLabel, erased).EndLine();
  for (std::size_t type = 0; type < ErasedTypeCount; ++type) {
    Figure(text, ErasedTypeLabels[type], counters.erased[type]);
    if (type == static_cast<std::size_t>(ErasedType::V) && counters.erasedOutposts != 0) {
      text.Add("  (").AddNumber(counters.erasedOutposts);
      text.Add(counters.erasedOutposts == 1 ? " outpost)" : " outposts)");
    }
    text.EndLine();
  }
  Figure(text, KeptLabel, kept).Add("  (by the first rule that kept each)").EndLine();
  for (std::size_t reason = 0; reason < KeptReasonCount; ++reason) {
    const bool outpostsErased =
        reason == static_cast<std::size_t>(KeptReason::VOutpost) && counters.eraseOutposts;
    text.Add(KeptReasonIndent);
    Figure(text, outpostsErased ? OutpostsErasedLabel : KeptReasonTexts[reason].label,
           counters.kept[reason])
        .EndLine();
  }
  Figure(text, SkippedLabel, counters.skipped).EndLine();
  Figure(text, UnreadableLabel, counters.unreadableForms).EndLine();
  if (counters.keptFormBUnreadable) {
    text.Add("  The second of the game's two kept forms could not be read: treated as absent.");
    text.EndLine();
  }
}

void AddPassVerdict(ReportText& text, unsigned pass, const PassCounters& counters) {
  AddVerdict(text, {pass, &counters, MicrosecondsOf(counters.lockHeldTicks, TicksPerSecond())});
}
