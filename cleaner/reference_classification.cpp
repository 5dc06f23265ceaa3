#include "cleaner/reference_classification.h"

#include "host/engine.h"
#include "host/game_layout.h"
#include "host/guarded_members.h"
#include "host/host_entry_table.h"

namespace {

// Compared by FormId, not by pointer: another object may carry the marker's FormId.
bool IsListMarked(void* parent, const GameForm* listMarkerForm) {
  void* castParent = GameDynamicCast(parent, EngineAddress(HostEntryTable::CastSourceType),
                                     EngineAddress(HostEntryTable::CastTargetType));
  if (castParent == nullptr) return false;
  const std::uint32_t markerId = FormIdOf(listMarkerForm);
  const auto castList = CastList(castParent);
  for (std::uint32_t i = 0; i < castList.count; ++i) {
    const GameForm* entry = castList.entries[i];
    if (entry != nullptr && FormIdOf(entry) == markerId) return true;
  }
  return false;
}

bool HoldsOutpostItem(const void* holder, void* outpostMarker) {
  if (holder == nullptr || outpostMarker == nullptr) return false;
  const auto items = MarkerItems(holder);
  for (std::uint32_t i = 0; i < items.count; ++i) {
    void* item = items.entries[i];
    if (item != nullptr && MatchesMarker(item, outpostMarker)) return true;
  }
  return false;
}

// The forms the parent's IdList names, looked up one by one in list order (a FormId the game
// does not resolve is passed over), until one holds an outpost item. Walked in place: the
// pass holds the game's lock, and nothing under it may allocate.
bool NamesAnOutpost(const void* parent, void* outpostMarker) {
  const auto ids = IdList(parent);
  for (std::uint32_t i = 0; i < ids.count; ++i) {
    const GameForm* named = LookupFormById(ids.entries[i]);
    if (named != nullptr && HoldsOutpostItem(named, outpostMarker)) return true;
  }
  return false;
}

}  // namespace

ReferenceCategory ClassifyReference(const GameForm* form, void* outpostMarker,
                                    const GameForm* listMarkerForm) {
  if (form == nullptr) return ReferenceCategory::None;
  if (void* parent = ParentObject(form)) {
    if (listMarkerForm != nullptr && IsListMarked(parent, listMarkerForm)) {
      return ReferenceCategory::ListMarked;
    }
    if (NamesAnOutpost(parent, outpostMarker)) return ReferenceCategory::Outpost;
  }
  if (HoldsOutpostItem(MarkerHolderA(form), outpostMarker)) return ReferenceCategory::Outpost;
  if (HoldsOutpostItem(MarkerHolderB(form), outpostMarker)) return ReferenceCategory::Outpost;
  return ReferenceCategory::None;
}
