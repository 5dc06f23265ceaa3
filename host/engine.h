// The plugin's only road into the game's code: ModuleBase and the engine entry points at
// their fixed offsets. Each wrapper calls the engine with the arguments it expects.
#pragma once

#include <cstdint>

struct GameForm;

// The game executable's load address; every engine address is ModuleBase plus an offset of
// host_entry_table.h.
extern std::uintptr_t ModuleBase;

inline void* EngineAddress(std::uintptr_t offset) {
  // NOLINTNEXTLINE(*-reinterpret-cast,performance-no-int-to-ptr): the game's fixed addresses
  return reinterpret_cast<void*>(ModuleBase + offset);
}

// Entry points resolved at library initialisation.
GameForm* LookupFormById(std::uint32_t formId);
void* GameDynamicCast(void* object, void* sourceType, void* targetType);

// Entry points resolved on first use.
void LockFormTable(void* lock);
void UnlockFormTable(void* lock);
void* FindAttachedList(void* holder, std::uint8_t kind);
bool MatchesMarker(void* item, void* marker);
void AttachSink(void* eventSource, void* sink);
void DetachSink(void* eventSource, void* sink);

// Entry points resolved at each call; each returns 0 without calling for a null object.
GameForm* GetKeptForm(void* source);
std::uint64_t GetFormHolder(GameForm* form);
void BeginErase(GameForm* form);
void FinishErase(GameForm* form);
void EraseVForm(GameForm* form);
void* GetPlayerUpdateEventSource();
