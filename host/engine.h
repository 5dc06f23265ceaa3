// The plugin's only road into the game: ModuleBase, the engine entry points at their
// fixed offsets, and plain reads of engine object members.
#pragma once

#include <cstdint>
#include <cstring>

struct GameForm;  // The engine's data object; opaque, read only at known offsets.

extern std::uintptr_t ModuleBase;

// Plain read of an engine object's member. The caller guarantees a non-null object.
template <class T>
T ReadMember(const void* object, std::uintptr_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof value);
  return value;
}

inline void* EngineAddress(std::uintptr_t offset) {
  return reinterpret_cast<void*>(ModuleBase + offset);
}

inline std::uint32_t FormIdOf(const GameForm* form) {
  return ReadMember<std::uint32_t>(form, 0x28);
}

// Calls slot 34 (byte 0x110) of the form's raw virtual table, as the engine's own callers
// do; only the low 8 bits of the result are defined.
inline std::uint8_t GetFormType(const GameForm* form) {
  using GetFormTypeFn = std::uint64_t (*)(const GameForm*);
  const auto* vtable = ReadMember<const unsigned char*>(form, 0);
  return static_cast<std::uint8_t>(ReadMember<GetFormTypeFn>(vtable, 0x110)(form) & 0xFF);
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
