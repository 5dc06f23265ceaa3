#include "cleaner/reference_classification.h"

#include "host/guarded_members.h"
#include "host/host_entry_table.h"

namespace {

// A counted array of pointers or ids in an engine object: 32-bit count, then a pointer.
template <class Entry>
struct CountedArray {
  std::uint32_t count = 0;
  const Entry* entries = nullptr;
};

template <class Entry>
CountedArray<Entry> ReadCountedArray(const void* object, std::uintptr_t countOffset,
                                     std::uintptr_t entriesOffset) {
  CountedArray<Entry> array{ReadMember<std::uint32_t>(object, countOffset),
                            ReadMember<const Entry*>(object, entriesOffset)};
  if (array.entries == nullptr) array.count = 0;  // a count without entries holds nothing
  return array;
}

CountedArray<std::uint32_t> IdList(const void* parent) {
  return ReadCountedArray<std::uint32_t>(parent, 0x170, 0x178);
}
CountedArray<const GameForm*> CastList(const void* castParent) {
  return ReadCountedArray<const GameForm*>(castParent, 0x20, 0x28);
}
CountedArray<void*> MarkerItems(const void* holder) {
  return ReadCountedArray<void*>(holder, 0x78, 0x80);
}

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

}  // namespace

std::vector<GameForm*> CollectFormsById(const void* object) {
  std::vector<GameForm*> forms;
  if (object == nullptr) return forms;
  const auto ids = IdList(object);
  for (std::uint32_t i = 0; i < ids.count; ++i) {
    if (GameForm* form = LookupFormById(ids.entries[i])) forms.push_back(form);
  }
  return forms;
}

ReferenceCategory ClassifyReference(const GameForm* form, void* outpostMarker,
                                    const GameForm* listMarkerForm) {
  if (form == nullptr) return ReferenceCategory::None;
  if (void* parent = ParentObject(form)) {
    if (listMarkerForm != nullptr && IsListMarked(parent, listMarkerForm))
      return ReferenceCategory::ListMarked;
    for (const GameForm* named : CollectFormsById(parent)) {
      if (HoldsOutpostItem(named, outpostMarker)) return ReferenceCategory::Outpost;
    }
  }
  if (HoldsOutpostItem(MarkerHolderA(form), outpostMarker)) return ReferenceCategory::Outpost;
  if (HoldsOutpostItem(MarkerHolderB(form), outpostMarker)) return ReferenceCategory::Outpost;
  return ReferenceCategory::None;
}
