// The simulator's own account of each cleaning pass, to hold the plugin's report against:
// erase calls per type as its stubs saw them (and the outposts among the 'V' ones, as the
// world says they are), the reason each examined form was kept as the world says it should
// be (the `expect=` attribute), the forms skipped for an earlier erasure, the forms whose
// judging meets a member the world made unreadable (and whether the second kept form's
// member is one), the time the lock was held on the virtual clock.
// The walk is replayed from the erase calls the engine saw, with the moves and shrinks that
// happened. At each unlock, with tracing on, one line:
//   tally slots=N in-use=N restarts=N examined=N erased=K:N,J:N,V:N outposts=N
//         erase-outposts=0|1 expected-erase=N skipped=N unreadable=N keptb-unreadable=0|1
//         lock-ns=N kept=REASON:N,...
// then one line for each form it kept, and one for each form judged with an unreadable
// member (erased or kept), in walk order, each form once:
//   tally-kept FORMID REASON [unreadable]
//   tally-unreadable FORMID
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace sim {

// What the world says of one form: the reason it is kept ("erase": it is not), and the
// offset from which its members are unreadable (0: none).
void SetFormFacts(void* form, const std::string& expect, std::size_t faultAt);
// Whether `expect` names a reason the tally knows.
bool IsExpectedReason(const std::string& expect);
// The reasons a form is kept, as the tally names them, in the order the rules test them.
std::span<const char* const> KeptReasonNames();

// Forgets every form's facts and every erasure (for a runner that builds table after table).
void ForgetTally();

// Whether outposts are to be erased, as the settings file the plugin reads says: an
// `expect=v-outpost` form is then expected to be erased.
void SetTallyEraseOutposts(bool on);

// Engine events. A pass that asks for the kept form has passed every precondition: only
// such a pass gets a tally line at its unlock.
void TallyLocked(std::int64_t nowNs);
void TallyWalkStarts();
void TallyErased(void* form, char type);
void TallySlotArrayMoved();
void TallySlotCountShrunk(std::uint64_t newCount);
void TallyUnlocked(std::int64_t nowNs);

}  // namespace sim
