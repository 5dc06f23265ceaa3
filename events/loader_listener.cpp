#include "events/loader_listener.h"

#include "events/event_sinks.h"
#include "host/engine.h"
#include "host/host_entry_table.h"

namespace {
constexpr std::uint32_t AttachSinksMessageType = 2;
}

void HandleLoaderMessage(LoaderMessage* message) {
  if (message == nullptr || message->type != AttachSinksMessageType) return;
  try {
    AttachSink(EngineAddress(HostEntryTable::LoadGameEventSource), &LoadGameSink);
    void* playerUpdateSource = GetPlayerUpdateEventSource();
    AttachSink(playerUpdateSource, &PlayerUpdateSink);
  } catch (...) {
    // Nothing may unwind into the loader.
  }
}
