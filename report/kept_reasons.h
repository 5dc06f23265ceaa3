// Why a pass kept a form, in a player's words: the report's line that counts each reason, and
// the word the list of kept forms gives each form it kept, one row a reason.
#pragma once

#include <cstddef>
#include <iterator>

#include "host/game_layout.h"
#include "report/form_id_text.h"
#include "report/pass_counters.h"

struct KeptReasonText {
  KeptReason reason;
  char kind;          // the form's kind, as the lists show it ('K', 'J', 'V'); ' ' if unknown
  const char* word;   // in the list of kept forms: short, fixed, one a test ('K' and 'J' share)
  const char* label;  // in the report, where a figure follows it
};

inline constexpr TextWithFormId BaseSevenLabel =
    WithFormId("'K': base is form ", ExcludedBaseFormId, "");
inline constexpr TextWithFormId ListMarkedLabel =
    WithFormId("'V': list-marked (form ", ListMarkerFormId, ")");

// In KeptReason's order, the order the rules test them and the report prints them.
inline constexpr KeptReasonText KeptReasonTexts[] = {
    {KeptReason::NoFormOrKeyMismatch, ' ', "no-form",
     "table entry with no form or a different FormId"},
    {KeptReason::NotCleanedType, ' ', "other-kind", "not a 'K', 'J' or 'V' form"},
    {KeptReason::KHoldLink, 'K', "hold-link", "'K': has a hold link"},
    {KeptReason::KNoBase, 'K', "no-base", "'K': no base object (or unreadable)"},
    {KeptReason::KBaseSeven, 'K', "base-7", BaseSevenLabel.text},
    {KeptReason::KLoadedBaseWithoutEight, 'K', "loaded-base",
     "'K': base from game data, no '8' link"},
    {KeptReason::KNamedAttachedItems, 'K', "named-items", "'K': has named attached items"},
    {KeptReason::KHeldByGame, 'K', "held", "'K': the game still holds it"},
    {KeptReason::JHoldLink, 'J', "hold-link", "'J': has a hold link"},
    {KeptReason::JNoBase, 'J', "no-base", "'J': no base object (or unreadable)"},
    {KeptReason::JLoadedBase, 'J', "loaded-base", "'J': base from game data"},
    {KeptReason::JNamedAttachedItems, 'J', "named-items", "'J': has named attached items"},
    {KeptReason::JHeldByGame, 'J', "held", "'J': the game still holds it"},
    {KeptReason::VKeptForm, 'V', "kept-form", "'V': one of the game's two kept forms"},
    {KeptReason::VListMarked, 'V', "list-marked", ListMarkedLabel.text},
    {KeptReason::VOutpost, 'V', "outpost", "'V': outpost, kept (bEraseOutposts=0)"},
};
// The counters are indexed by reason: the table must list every reason once, in that order.
constexpr bool InReasonOrder() {
  for (std::size_t i = 0; i < std::size(KeptReasonTexts); ++i) {
    if (KeptReasonTexts[i].reason != static_cast<KeptReason>(i)) return false;
  }
  return std::size(KeptReasonTexts) == KeptReasonCount;
}
static_assert(InReasonOrder(), "a row for every kept reason, in KeptReason's order");

inline constexpr const KeptReasonText& TextOf(KeptReason reason) {
  return KeptReasonTexts[static_cast<std::size_t>(reason)];
}
