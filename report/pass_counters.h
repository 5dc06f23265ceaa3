// What one cleaning pass counted, for the report: plain numbers, so that counting allocates
// nothing and costs no more than an increment at each decision the pass already makes. The
// pass's vocabulary (why a form is kept, why a pass could not walk) lives here, beside the
// report that prints it, one level below the cleaner that decides it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Why a form the pass examined was kept: the first test that kept it, in the order the pass
// tests them. The report prints them in this order.
enum class KeptReason : std::uint8_t {
  // At the slot.
  NoFormOrKeyMismatch,
  NotCleanedType,
  // 'K' forms.
  KHoldLink,
  KNoBase,
  KBaseSeven,
  KLoadedBaseWithoutEight,
  KNamedAttachedItems,
  KHeldByGame,
  // 'J' forms.
  JHoldLink,
  JNoBase,
  JLoadedBase,
  JNamedAttachedItems,
  JHeldByGame,
  // 'V' forms.
  VKeptForm,
  VListMarked,
  VOutpost,
};
inline constexpr std::size_t KeptReasonCount = static_cast<std::size_t>(KeptReason::VOutpost) + 1;

enum class ErasedType : std::uint8_t { K, J, V };
inline constexpr std::size_t ErasedTypeCount = 3;

// One form a pass erased, as the erased record keeps it and the list of erased forms shows it.
struct ErasedForm {
  std::uint32_t formId;
  ErasedType type;
  bool outpost;     // a 'V' outpost, erased because bEraseOutposts=1
  bool unreadable;  // a guarded read faulted while it was judged (data taken as absent)

  friend bool operator==(const ErasedForm&, const ErasedForm&) = default;
};
static_assert(sizeof(ErasedForm) == 8, "the flags live in the FormId's padding");

// One run-time form a pass kept by a rule, as the list of kept forms shows it. Forms of other
// types and slots without their form are counted, never listed.
struct KeptForm {
  std::uint32_t formId;
  KeptReason reason;
  bool unreadable;
};
static_assert(sizeof(KeptForm) == 8);

inline constexpr bool IsListedAsKept(KeptReason reason) {
  return reason != KeptReason::NoFormOrKeyMismatch && reason != KeptReason::NotCleanedType;
}

// The forms one pass recorded for a list, in walk order.
template <class Form>
struct FormsOfPass {
  std::span<const Form> forms;
  bool recorded = false;                    // false: the run had no memory for the record
  bool complete = true;                     // false: the record was full before the walk ended
  std::uint32_t firstUnrecordedFormId = 0;  // the first form not recorded, if incomplete
};
using ErasedFormsOfPass = FormsOfPass<ErasedForm>;
using KeptFormsOfPass = FormsOfPass<KeptForm>;

struct PassCounters {
  std::uint64_t slotsInTable = 0;  // the slot count when the walk ended
  std::uint64_t slotsInUse = 0;
  std::uint64_t walkRestarts = 0;  // the slot array moved under the walk
  // Each in-use slot with a run-time key ends erased, kept or skipped (its FormId erased by
  // an earlier pass), each form once: the forms examined are the sum of the three, and the
  // report shows them so.
  std::uint64_t erased[ErasedTypeCount] = {};
  std::uint64_t erasedOutposts = 0;  // among the erased 'V' forms
  std::uint64_t kept[KeptReasonCount] = {};
  std::uint64_t skipped = 0;
  // Forms judged by this pass with at least one guarded read that faulted, each form once.
  std::uint64_t unreadableForms = 0;
  // The second kept form's member, read once before the walk, faulted.
  bool keptFormBUnreadable = false;
  bool eraseOutposts = false;      // the setting this pass ran with
  std::int64_t lockHeldTicks = 0;  // performance-counter ticks
};

inline std::uint64_t ErasedCount(const PassCounters& counters) {
  std::uint64_t erased = 0;
  for (const std::uint64_t count : counters.erased) erased += count;
  return erased;
}

// Every form kept, and those the list of kept forms leaves out (other kinds, entries without
// their form).
inline std::uint64_t KeptCount(const PassCounters& counters) {
  std::uint64_t kept = 0;
  for (const std::uint64_t count : counters.kept) kept += count;
  return kept;
}
inline std::uint64_t UnlistedKeptCount(const PassCounters& counters) {
  std::uint64_t unlisted = 0;
  for (std::size_t reason = 0; reason < KeptReasonCount; ++reason) {
    if (!IsListedAsKept(static_cast<KeptReason>(reason))) unlisted += counters.kept[reason];
  }
  return unlisted;
}

// The check that stopped a pass before it could walk.
enum class PassFailure : std::uint8_t {
  None,
  NoOutpostMarker,
  ListMarkerFormMissing,
  TooLittleMemoryAtStart,  // the erased record's membership got no room at the armed start
  FaultHandlerNotInstalled,
  NoFormTable,
  TableEmpty,
  NoKeptFormSource,
  UnexpectedError,  // a C++ exception, which nothing in the pass should throw
};
inline constexpr std::size_t PassFailureCount =
    static_cast<std::size_t>(PassFailure::UnexpectedError) + 1;
