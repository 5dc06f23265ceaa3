#include "game/world_objects.h"

#include "game/engine_calls.h"

namespace {

constexpr uint32_t PoolSize = 16;

constinit AttachmentHolder holders[PoolSize];
constinit AttachedBlock blocks[PoolSize];
constinit AttachedEntry entries[PoolSize][2];
uint32_t holderCount = 0;

constinit MarkerItem items[PoolSize];
uint32_t itemCount = 0;

constinit CastView castViews[PoolSize];
GameForm* castForms[PoolSize][2];
uint32_t castViewCount = 0;

uint32_t idLists[PoolSize][2];
uint32_t idListCount = 0;

void* itemMarkers[PoolSize][3];
uint32_t itemListCount = 0;

// Something non-null for an attached entry's item or namer.
unsigned char attachedThing;

bool PoolFull(uint32_t count) {
  if (count < PoolSize) return false;
  NoteFault(ContractFault::UnexpectedCall,
            "the host's world needs more objects than its pools hold");
  return true;
}

}  // namespace

AttachmentHolder* NewHolder(bool withList, bool item1, bool namer1, bool item2, bool namer2) {
  if (PoolFull(holderCount)) return &holders[0];
  const uint32_t i = holderCount++;
  entries[i][0] = {item1 ? &attachedThing : nullptr, namer1 ? &attachedThing : nullptr, 0};
  entries[i][1] = {item2 ? &attachedThing : nullptr, namer2 ? &attachedThing : nullptr, 0};
  blocks[i].count = 2;
  blocks[i].entries = entries[i];
  holders[i].block = withList ? &blocks[i] : nullptr;
  return &holders[i];
}

MarkerItem* NewItem(bool matchesOutpostMarker) {
  if (PoolFull(itemCount)) return &items[0];
  items[itemCount].matchesOutpostMarker = matchesOutpostMarker;
  return &items[itemCount++];
}

CastView* NewCastView(GameForm* first, GameForm* second) {
  if (PoolFull(castViewCount)) return &castViews[0];
  const uint32_t i = castViewCount++;
  castForms[i][0] = first;
  castForms[i][1] = second;
  castViews[i].count = 2;
  castViews[i].forms = castForms[i];
  return &castViews[i];
}

const uint32_t* NewIdList(uint32_t first, uint32_t second) {
  if (PoolFull(idListCount)) return idLists[0];
  idLists[idListCount][0] = first;
  idLists[idListCount][1] = second;
  return idLists[idListCount++];
}

void SetMarkerItems(GameForm* form, uint32_t count, MarkerItem* first, MarkerItem* second,
                    MarkerItem* third) {
  if (PoolFull(itemListCount)) return;
  void** list = itemMarkers[itemListCount++];
  list[0] = first;
  list[1] = second;
  list[2] = third;
  form->markerItemCount = count;
  form->markerItems = list;
}

bool IsWorldHolder(const void* pointer) {
  for (uint32_t i = 0; i < holderCount; ++i) {
    if (pointer == &holders[i]) return true;
  }
  return false;
}

bool IsWorldItem(const void* pointer) {
  for (uint32_t i = 0; i < itemCount; ++i) {
    if (pointer == &items[i]) return true;
  }
  return false;
}
