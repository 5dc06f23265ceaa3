#include "report/verdict.h"

namespace {

// The ranges. Below or at the normal limit a figure says nothing; above it, up to the second
// limit where there is one, it is worth a look; above that, worth asking for help.
constexpr std::uint64_t UnreadableNormalBelowIn100 = 1;  // under 1 in 100 of the forms judged
constexpr std::uint64_t UnreadableLookAtUpToIn100 = 5;   // 1 to 5 in 100: a look; over 5: help
constexpr std::uint64_t WalkRestartsNormalUpTo = 2;
constexpr std::uint64_t EntriesWithoutFormNormalUpTo = 100;
constexpr std::uint64_t GamesKeptFormsNormalUpTo = 2;  // the game names two at most
constexpr std::uint64_t SecondLoadErasuresNormalUpTo = 100;
constexpr std::uint64_t LockNormalUpToMs = 1000;

std::uint64_t Judged(const PassCounters& counters) {
  return ErasedCount(counters) + KeptCount(counters);
}

std::uint64_t Kept(const PassCounters& counters, KeptReason reason) {
  return counters.kept[static_cast<std::size_t>(reason)];
}

// "3.2": the share of `part` in `whole`, per 100, to a tenth, rounded toward the band's
// inside, so that the figure never seems to contradict its band.
void AddPer100(ReportText& text, std::uint64_t part, std::uint64_t whole, bool roundUp) {
  const std::uint64_t tenths = whole == 0 ? 0 : (part * 1000 + (roundUp ? whole - 1 : 0)) / whole;
  text.AddNumber(tenths / 10).Add(".").AddNumber(tenths % 10);
}

// "(more than 2): ..." for a figure judged only against its normal limit.
void AddAbove(ReportText& text, std::uint64_t limit, const char* unit) {
  text.Add(" (more than ").AddNumber(limit).Add(unit).Add("): ");
}

}  // namespace

Findings JudgePass(const JudgedFigures& figures) noexcept {
  const PassCounters& counters = *figures.counters;
  Findings findings;
  const auto add = [&findings](JudgedFigure figure, Concern concern) {
    findings.items[findings.count++] = {figure, concern};
  };
  const std::uint64_t unreadable = counters.unreadableForms * 100;
  const std::uint64_t judged = Judged(counters);
  if (unreadable > UnreadableLookAtUpToIn100 * judged) {
    add(JudgedFigure::UnreadableShare, Concern::AskForHelp);
  } else if (unreadable >= UnreadableNormalBelowIn100 * judged && counters.unreadableForms != 0) {
    add(JudgedFigure::UnreadableShare, Concern::LookAt);
  }
  if (counters.walkRestarts > WalkRestartsNormalUpTo) {
    add(JudgedFigure::WalkRestarts, Concern::AskForHelp);
  }
  if (Kept(counters, KeptReason::NoFormOrKeyMismatch) > EntriesWithoutFormNormalUpTo) {
    add(JudgedFigure::EntriesWithoutForm, Concern::AskForHelp);
  }
  if (Kept(counters, KeptReason::VKeptForm) > GamesKeptFormsNormalUpTo) {
    add(JudgedFigure::GamesKeptForms, Concern::AskForHelp);
  }
  if (counters.keptFormBUnreadable) add(JudgedFigure::KeptFormBUnreadable, Concern::AskForHelp);
  if (figures.pass > 1 && ErasedCount(counters) > SecondLoadErasuresNormalUpTo) {
    add(JudgedFigure::SecondLoadErasures, Concern::LookAt);
  }
  if (figures.lockMicroseconds > LockNormalUpToMs * 1000) {
    add(JudgedFigure::LockTime, Concern::LookAt);
  }
  return findings;
}

void AddFindingLine(ReportText& text, const Finding& finding,
                    const JudgedFigures& figures) noexcept {
  const PassCounters& counters = *figures.counters;
  const bool help = finding.concern == Concern::AskForHelp;
  text.Add(help ? "  Ask for help: " : "  Look at: ");
  switch (finding.figure) {
    case JudgedFigure::UnreadableShare:
      text.Add("forms with unreadable data, ");
      AddPer100(text, counters.unreadableForms, Judged(counters), help);
      text.Add(" in 100 of the ").AddNumber(Judged(counters)).Add(" forms judged (");
      if (help) {
        text.Add("over ").AddNumber(UnreadableLookAtUpToIn100).Add(" in 100): do not keep ");
        text.Add("playing this save: ask for help with the report and both lists.");
      } else {
        text.AddNumber(UnreadableNormalBelowIn100).Add(" to ").AddNumber(UnreadableLookAtUpToIn100);
        text.Add(" in 100): if none of the erased forms marked unreadable in the list is an ");
        text.Add("object you care about, keep playing this save.");
      }
      break;
    case JudgedFigure::WalkRestarts:
      text.Add("walk restarts, ").AddNumber(counters.walkRestarts);
      AddAbove(text, WalkRestartsNormalUpTo, "");
      text.Add("the game rebuilt its table more often than it should: ask for help with the ");
      text.Add("report.");
      break;
    case JudgedFigure::EntriesWithoutForm:
      text.Add("table entries with no form or a different FormId, ");
      text.AddNumber(Kept(counters, KeptReason::NoFormOrKeyMismatch));
      AddAbove(text, EntriesWithoutFormNormalUpTo, "");
      text.Add("the game's table of forms may be damaged: ask for help with the report before ");
      text.Add("you keep playing this save.");
      break;
    case JudgedFigure::GamesKeptForms:
      text.Add("the game's kept forms, ").AddNumber(Kept(counters, KeptReason::VKeptForm));
      AddAbove(text, GamesKeptFormsNormalUpTo, "");
      text.Add("ask for help with the report.");
      break;
    case JudgedFigure::KeptFormBUnreadable:
      text.Add("the game's second kept form, unreadable (readable in a normal run): ask for help ");
      text.Add("with the report.");
      break;
    case JudgedFigure::SecondLoadErasures:
      text.Add("forms erased at the second load, ").AddNumber(ErasedCount(counters));
      AddAbove(text, SecondLoadErasuresNormalUpTo, "");
      text.Add("more than a save and a reload make; check that you loaded the save you made at ");
      text.Add("the first box.");
      break;
    case JudgedFigure::LockTime:
      // Rounded up, so that a time over the limit never reads as the limit.
      text.Add("game paused for this pass, ").AddNumber((figures.lockMicroseconds + 999) / 1000);
      text.Add(" ms");
      AddAbove(text, LockNormalUpToMs, " ms");
      text.Add("harmless if the game went on as before; a larger save pauses it longer.");
      break;
  }
  text.EndLine();
}

void AddVerdict(ReportText& text, const JudgedFigures& figures) noexcept {
  const Findings findings = JudgePass(figures);
  if (findings.count == 0) {
    text.Add("  Verdict: every figure is in its normal range.").EndLine();
    return;
  }
  for (std::size_t i = 0; i < findings.count; ++i) {
    AddFindingLine(text, findings.items[i], figures);
  }
}
