// The room a cleaning run's records take at the armed start, before the report begins, so
// that no pass allocates while it holds the game's lock.
#pragma once

#include "report/list_sections.h"

// In this order: the erased record's membership (without it no pass can run, and nothing
// more is taken), the list of erased forms' room, the list of kept forms' room. Which lists
// the run keeps.
ListRooms ReserveRunRecords() noexcept;
