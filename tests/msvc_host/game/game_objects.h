// The engine objects the plugin reaches through the game's data slots and functions.
#pragma once

#include "game/event_sinks.h"
#include "game/forms.h"

struct OutpostMarker {
  uint64_t unread[2];
};

struct KeptFormSource {
  GameForm* keptFormA;  // what GetKeptForm answers
};

struct GameObjects {
  OutpostMarker outpostMarker;
  KeptFormSource keptFormSource;
  FormTable table;
  EventSource playerUpdateSource;
};

GameObjects& Game();
// The load-game event source is a static object of the game: it lives at its offset.
EventSource& LoadGameSource();

// Installs every engine function at its offset, and fills the data slots: the form table, the
// kept-form source and, unless `withOutpostMarker` is false, the outpost marker.
void InstallEngine(bool withOutpostMarker);
// Attaches the game's own sinks to both sources, before any plugin's.
void AttachGameOwnSinks();
