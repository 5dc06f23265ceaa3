// A world described line by line (see sim/README.md): forms and the engine objects around
// them, built into the simulated engine's memory.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace sim {

// One entry of a vocabulary: a word, what follows it, and what it means.
struct VocabularyEntry {
  const char* word;
  const char* arguments;
  const char* meaning;
};

// The attributes a `form` line may carry.
std::span<const VocabularyEntry> FormAttributes();

class World {
 public:
  // `form ID TYPE attributes...`, its words already split. False with `error` set if
  // malformed (an unknown attribute included).
  bool AddForm(const std::vector<std::string>& words, std::string& error);
  // An empty slot whose stale pointer is unreadable: visiting it would crash.
  void AddEmptySlot();
  void SetOutpostMarkerPresent(bool present);
  void SetListMarkerPresent(bool present);
  bool SetTableShape(const std::string& shape, std::string& error);
  void SetKeptSourcePresent(bool present);
  bool SetKeptFormA(const std::string& id, std::string& error);

  // Resolves references and (re)builds the FormTable if the world changed.
  bool Commit(std::string& error);

 private:
  struct Reference {
    void* object;
    std::uintptr_t offset;
    std::uint32_t formId;
  };
  struct Listing {
    std::uint32_t key;
    void* form;
    bool empty;
  };

  void* MarkerItemHolder(const std::string& shape, std::size_t bytes, std::string& error);
  void FillMarkerItems(void* holder, const std::string& shape, std::string& error);
  void* AttachmentHolder(const std::string& shape, std::string& error);
  void* ParentObject(const std::string& ids, const std::string& cast, std::string& error);

  std::vector<Listing> listings_;
  std::vector<Reference> references_;
  std::string tableShape_ = "normal";
  bool dirty_ = true;
  bool listMarker_ = true;
  bool outpostMarker_ = true;
  bool keptSource_ = true;
  std::uint32_t keptFormA_ = 0;
  std::map<std::uint32_t, void*> forms_;
};

std::uint32_t ParseFormId(const std::string& text, bool& ok);
std::vector<std::string> SplitList(const std::string& text, char separator);

}  // namespace sim
