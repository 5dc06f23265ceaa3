// Which protected category a 'V' form falls into. A pure query: reads engine memory and
// calls engine queries only.
#pragma once

#include <cstdint>

struct GameForm;

enum class ReferenceCategory : std::int32_t {
  None = 0,        // erased
  Outpost = 1,     // erased only when bEraseOutposts is on
  ListMarked = 2,  // never erased
};

ReferenceCategory ClassifyReference(const GameForm* form, void* outpostMarker,
                                    const GameForm* listMarkerForm);
