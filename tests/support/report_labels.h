// The report's labels and the kept list's words, as the tests spell them: their one home in
// the tests. Renaming a label touches the product's table, this file, the expected report
// and README (its sample and its line-by-line table); every other test takes it from here.
#pragma once

#include <string>
#include <vector>

namespace report_labels {

// The figures of a pass section, without their colon.
inline const std::string Slots = "Slots in the table";
inline const std::string InUse = "Slots in use";
inline const std::string Restarts = "Walk restarts (the slot array moved)";
inline const std::string Paused = "Game paused for this pass (table lock held)";
inline const std::string Examined = "Run-time forms examined";
inline const std::string Erased = "Erased";
inline const std::string ErasedK = "'K' forms";
inline const std::string ErasedJ = "'J' forms";
inline const std::string ErasedV = "'V' forms";
inline const std::string Kept = "Kept";
inline const std::string Skipped = "Skipped (FormId erased by an earlier load)";
inline const std::string Unreadable = "Forms with unreadable data (treated as absent)";
// The 'V' outpost line with bEraseOutposts=1, which keeps no outpost.
inline const std::string OutpostsErased = "'V': outpost (bEraseOutposts=1 erases them)";

// A kept reason: its name in the simulator's tally and the model, its line in the report,
// and its word in the list of kept forms.
struct KeptReason {
  std::string name;
  std::string label;
  std::string word;
};
// In the order the rules test them.
inline const std::vector<KeptReason> KeptReasons = {
    {"no-form", "table entry with no form or a different FormId", "no-form"},
    {"other-type", "not a 'K', 'J' or 'V' form", "other-kind"},
    {"k-hold-link", "'K': has a hold link", "hold-link"},
    {"k-no-base", "'K': no base object (or unreadable)", "no-base"},
    {"k-base-7", "'K': base is form 00000007", "base-7"},
    {"k-loaded-base", "'K': base from game data, no '8' link", "loaded-base"},
    {"k-named-items", "'K': has named attached items", "named-items"},
    {"k-held", "'K': the game still holds it", "held"},
    {"j-hold-link", "'J': has a hold link", "hold-link"},
    {"j-no-base", "'J': no base object (or unreadable)", "no-base"},
    {"j-loaded-base", "'J': base from game data", "loaded-base"},
    {"j-named-items", "'J': has named attached items", "named-items"},
    {"j-held", "'J': the game still holds it", "held"},
    {"v-kept-form", "'V': one of the game's two kept forms", "kept-form"},
    {"v-list-marked", "'V': list-marked (form 0020C59F)", "list-marked"},
    {"v-outpost", "'V': outpost, kept (bEraseOutposts=0)", "outpost"},
};

// The reason of that name (a made-up one when there is none).
inline const KeptReason& KeptReasonNamed(const std::string& name) {
  for (const KeptReason& reason : KeptReasons) {
    if (reason.name == name) return reason;
  }
  static const KeptReason unknown{"(unknown)", "(unknown)", "(unknown)"};
  return unknown;
}

}  // namespace report_labels
