// What a pass's figures say to a player: each judged figure against its normal range, the
// ranges in one place. A pass section ends with "  Verdict: every figure is in its normal
// range.", or with one line for each figure out of it: the figure, the band it lies in and
// what to do. The players' guide quotes these lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "report/pass_counters.h"
#include "report/report_text.h"

enum class JudgedFigure : std::uint8_t {
  UnreadableShare,      // forms with unreadable data, over the forms judged (erased + kept)
  WalkRestarts,         // the slot array moved under the walk
  EntriesWithoutForm,   // table entries with no form or a different FormId
  GamesKeptForms,       // 'V' forms kept as one of the game's two kept forms (at most 2)
  KeptFormBUnreadable,  // the second of the game's kept forms could not be read
  SecondLoadErasures,   // forms a later load erased
  LockTime,             // how long the game was paused
};
inline constexpr std::size_t JudgedFigureCount = 7;

enum class Concern : std::uint8_t { LookAt, AskForHelp };

struct Finding {
  JudgedFigure figure;
  Concern concern;
};

// The figures a pass judges, as the report shows them.
struct JudgedFigures {
  unsigned pass = 1;  // 1 for the first load's
  const PassCounters* counters = nullptr;
  std::uint64_t lockMicroseconds = 0;
};

struct Findings {
  std::array<Finding, JudgedFigureCount> items{};
  std::size_t count = 0;
};

// The figures out of their normal range, in the report's order.
Findings JudgePass(const JudgedFigures& figures) noexcept;

// The verdict lines for the pass.
void AddVerdict(ReportText& text, const JudgedFigures& figures) noexcept;

// The line of one finding, as the report prints it ("  Look at: ...").
void AddFindingLine(ReportText& text, const Finding& finding,
                    const JudgedFigures& figures) noexcept;
