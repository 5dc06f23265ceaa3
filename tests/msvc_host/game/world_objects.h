// The smaller engine objects the world's forms point to, from fixed pools: attachment holders
// with their attached lists, marker items, cast views and FormId lists.
#pragma once

#include <stdint.h>

#include "game/forms.h"

// A holder whose attached list (kind 0x80) has the entries given as item/namer pairs, each
// either set or null; with `withList` false, FindAttachedList answers null for it.
AttachmentHolder* NewHolder(bool withList, bool item1, bool namer1, bool item2, bool namer2);
MarkerItem* NewItem(bool matchesOutpostMarker);
// The cast's answer for a parent of the target class, with its forms.
CastView* NewCastView(GameForm* first, GameForm* second);
// A FormId list of up to two entries; `count` says how many are used.
const uint32_t* NewIdList(uint32_t first, uint32_t second);
// A form's MarkerItems, up to three entries (null entries allowed).
void SetMarkerItems(GameForm* form, uint32_t count, MarkerItem* first, MarkerItem* second,
                    MarkerItem* third);

bool IsWorldHolder(const void* pointer);
bool IsWorldItem(const void* pointer);
