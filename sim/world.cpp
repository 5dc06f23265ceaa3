#include "sim/world.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "sim/engine_data.h"
#include "sim/faulting_pages.h"
#include "sim/forms.h"
#include "sim/game_memory.h"
#include "sim/pass_tally.h"

namespace sim {
namespace {

constexpr std::uint32_t ListMarkerFormId = 0x0020C59F;

constexpr VocabularyEntry FormAttributeList[] = {
    {"list=0", "", "not listed in the FormTable"},
    {"key=", "ID", "the slot's key differs from the FormId"},
    {"nullform", "", "the slot's form pointer is null"},
    {"lookup=0", "", "unknown to `LookupFormById`"},
    {"base=", "ID", "`BaseObject`"},
    {"related=", "ID", "`BaseRelatedForm` (of a base)"},
    {"keptb=", "ID", "`KeptFormB` (of the kept form A)"},
    {"hold", "", "`HoldLink` set"},
    {"held", "", "`GetFormHolder` answers non-zero"},
    {"holder=", "none|nolist|11;10;01",
     "`AttachmentHolder`: none; no attached list; entries (item set?, namer set?)"},
    {"parent", "", "a `ParentObject`, with `ids=` and `cast=`"},
    {"ids=", "ID;ID", "the parent's `IdList`"},
    {"cast=", "ID;0;+ID|unreadable",
     "the parent is of the cast's class, with this `CastList` (`+ID`: another object with that "
     "FormId; `unreadable`: entries on a no-access page)"},
    {"holdera=", "m;x;0|nullentries|none",
     "`MarkerHolderA` with items: m matches the outpost marker, x does not, 0 null"},
    {"holderb=", "m;x;0|nullentries|none", "`MarkerHolderB`, the same way"},
    {"items=", "m;x;0|nullentries", "the form's own `MarkerItems` (a form named by an `IdList`)"},
    {"fault=", "base|hold|related|keptb|parent|holdera|holderb",
     "that member and all after it lie on an unreadable page"},
    {"note=", "TEXT", "the rule the form stands for, in the run summary (underscores for blanks)"},
    {"expect=", "REASON",
     "what the rules must do with it: `erase`, or the reason it is kept, as the tally names it "
     "(below)"},
};

// The attribute's name as a form line spells it: "base=" for "base=ID", "hold" for "hold".
bool IsFormAttribute(const std::string& name, bool hasValue) {
  for (const VocabularyEntry& entry : FormAttributeList) {
    const std::string word = entry.word;
    if (hasValue && word == name + "=") return true;
    if (hasValue && word.rfind(name + "=", 0) == 0) return true;  // list=0, lookup=0
    if (!hasValue && word == name) return true;
  }
  return false;
}

bool Attributes(const std::vector<std::string>& words, std::size_t from,
                std::map<std::string, std::string>& attributes, std::string& error) {
  for (std::size_t i = from; i < words.size(); ++i) {
    const std::size_t equals = words[i].find('=');
    const std::string name = words[i].substr(0, equals);
    if (!IsFormAttribute(name, equals != std::string::npos)) {
      error = "unknown form attribute '" + words[i] + "'";
      return false;
    }
    attributes[name] = equals == std::string::npos ? "1" : words[i].substr(equals + 1);
  }
  return true;
}

std::size_t FaultOffset(const std::string& member) {
  static const std::map<std::string, std::size_t> offsets = {
      {"base", Member::BaseObject},         {"hold", Member::HoldLink},
      {"related", Member::BaseRelatedForm}, {"keptb", Member::KeptFormB},
      {"parent", Member::ParentObject},     {"holdera", Member::MarkerHolderA},
      {"holderb", Member::MarkerHolderB}};
  const auto found = offsets.find(member);
  return found == offsets.end() ? 0 : found->second;
}

unsigned char outpostMarker[64];
unsigned char otherMarker[64];

// An object whose first pointer names the marker it matches (MatchesMarker's answer).
void* MarkerItem(bool matches) {
  unsigned char* item = NewBlock(16);
  Put<void*>(item, 0, matches ? outpostMarker : otherMarker);
  return item;
}

}  // namespace

std::uint32_t ParseFormId(const std::string& text, bool& ok) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 16);
  ok = !text.empty() && end != nullptr && *end == '\0';
  return static_cast<std::uint32_t>(value);
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t next = std::min(text.find(separator, start), text.size());
    if (next > start) parts.push_back(text.substr(start, next - start));
    start = next + 1;
  }
  return parts;
}

// Entries m (matches the outpost marker), x (does not) or 0 (null entry); "nullentries": a
// count of 3 with no entry array.
void World::FillMarkerItems(void* holder, const std::string& shape, std::string& error) {
  if (shape == "nullentries") {
    Put<std::uint32_t>(holder, Member::MarkerItemCount, 3);
    return;
  }
  const auto entries = SplitList(shape, ';');
  auto** items = reinterpret_cast<void**>(NewBlock(8 * (entries.size() + 1)));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == "m" || entries[i] == "x") {
      items[i] = MarkerItem(entries[i] == "m");
    } else if (entries[i] != "0") {
      error = "marker item must be m, x or 0: " + entries[i];
    }
  }
  Put<std::uint32_t>(holder, Member::MarkerItemCount, static_cast<std::uint32_t>(entries.size()));
  Put<void*>(holder, Member::MarkerItems, items);
}

void* World::MarkerItemHolder(const std::string& shape, std::size_t bytes, std::string& error) {
  if (shape == "none") return nullptr;
  unsigned char* holder = NewBlock(bytes);
  FillMarkerItems(holder, shape, error);
  return holder;
}

// "none": no holder; "nolist": FindAttachedList answers null; else entries such as 11;10;01
// (item set?, namer set?).
void* World::AttachmentHolder(const std::string& shape, std::string& error) {
  if (shape == "none") return nullptr;
  unsigned char* holder = NewBlock(16);
  if (shape == "nolist") return holder;
  unsigned char* block = NewBlock(0x30);
  Put<void*>(holder, 0, block);
  const auto entries = SplitList(shape, ';');
  unsigned char* list = NewBlock(24 * (entries.size() + 1));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].size() != 2) error = "attached entry must be two digits: " + entries[i];
    if (entries[i][0] == '1') Put<void*>(list + 24 * i, 0, NewBlock(16));
    if (entries[i].size() > 1 && entries[i][1] == '1') Put<void*>(list + 24 * i, 8, NewBlock(16));
  }
  Put<std::uint32_t>(block, Member::AttachedCount, static_cast<std::uint32_t>(entries.size()));
  Put<void*>(block, Member::AttachedEntries, list);
  return holder;
}

void* World::ParentObject(const std::string& ids, const std::string& cast, std::string& error) {
  unsigned char* parent = NewBlock(0x180);
  const auto idList = SplitList(ids, ';');
  auto* idArray = reinterpret_cast<std::uint32_t*>(NewBlock(4 * (idList.size() + 1)));
  for (std::size_t i = 0; i < idList.size(); ++i) {
    bool ok = false;
    idArray[i] = ParseFormId(idList[i], ok);
    if (!ok) error = "bad id in ids: " + idList[i];
  }
  Put<std::uint32_t>(parent, Member::IdListCount, static_cast<std::uint32_t>(idList.size()));
  Put<void*>(parent, Member::IdList, idArray);
  if (cast != "none") {  // the parent is of the cast's target class
    unsigned char* castParent = NewBlock(0x30);
    Put<void*>(parent, 0, castParent);
    if (cast == "unreadable") {  // entries on an unreadable page: a plain read that faults
      Put<std::uint32_t>(castParent, Member::CastListCount, 1);
      Put<void*>(castParent, Member::CastList, NewBlockFaultingAt(0));
      return parent;
    }
    const auto castList = SplitList(cast, ';');
    auto* entries = reinterpret_cast<void**>(NewBlock(8 * (castList.size() + 1)));
    for (std::size_t i = 0; i < castList.size(); ++i) {
      // "+ID": a separate object that merely carries that FormId.
      const bool copy = castList[i][0] == '+';
      bool ok = false;
      const std::uint32_t formId = ParseFormId(castList[i].substr(copy ? 1 : 0), ok);
      if (!ok) error = "bad id in cast: " + castList[i];
      if (copy) {
        entries[i] = NewForm(formId, 'L', Member::FormBytes);
      } else if (formId != 0) {
        references_.push_back({&entries[i], 0, formId});
      }
    }
    Put<std::uint32_t>(castParent, Member::CastListCount,
                       static_cast<std::uint32_t>(castList.size()));
    Put<void*>(castParent, Member::CastList, entries);
  }
  return parent;
}

std::span<const VocabularyEntry> FormAttributes() {
  return FormAttributeList;
}

bool World::AddForm(const std::vector<std::string>& words, std::string& error) {
  dirty_ = true;
  if (words.size() < 3) return error = "form needs an id and a type", false;
  bool ok = false;
  const std::uint32_t formId = ParseFormId(words[1], ok);
  if (!ok) return error = "bad form id " + words[1], false;
  const std::uint8_t type = static_cast<std::uint8_t>(
      words[2].size() == 1 ? words[2][0] : std::strtoul(words[2].c_str(), nullptr, 16));
  std::map<std::string, std::string> attributes;
  if (!Attributes(words, 3, attributes, error)) return false;
  const std::size_t faultAt = attributes.count("fault") ? FaultOffset(attributes["fault"]) : 0;
  if (attributes.count("fault") && faultAt == 0) return error = "bad fault member", false;
  unsigned char* form = NewForm(formId, type, Member::FormBytes, faultAt);
  auto reference = [&](const char* name, std::uintptr_t offset) {
    if (!attributes.count(name)) return;
    const std::uint32_t target = ParseFormId(attributes[name], ok);
    if (!ok) error = std::string("bad id for ") + name;
    references_.push_back({form, offset, target});
  };
  reference("base", Member::BaseObject);
  reference("related", Member::BaseRelatedForm);
  reference("keptb", Member::KeptFormB);
  if (attributes.count("hold")) Put<void*>(form, Member::HoldLink, NewBlock(16));
  if (attributes.count("held")) Put<std::uint8_t>(form, Member::SimFlags, FlagHeld);
  if (attributes.count("holder")) {
    Put<void*>(form, Member::AttachmentHolder, AttachmentHolder(attributes["holder"], error));
  }
  if (attributes.count("items")) FillMarkerItems(form, attributes["items"], error);
  if (attributes.count("holdera")) {
    Put<void*>(form, Member::MarkerHolderA, MarkerItemHolder(attributes["holdera"], 0x90, error));
  }
  if (attributes.count("holderb")) {
    Put<void*>(form, Member::MarkerHolderB, MarkerItemHolder(attributes["holderb"], 0x90, error));
  }
  if (attributes.count("parent")) {
    const std::string cast = attributes.count("cast") ? attributes["cast"] : "none";
    Put<void*>(form, Member::ParentObject, ParentObject(attributes["ids"], cast, error));
  }
  if (attributes.count("note")) SetFormNote(form, attributes["note"].c_str());
  if (attributes.count("expect") && !IsExpectedReason(attributes["expect"])) {
    return error = "unknown expected reason " + attributes["expect"], false;
  }
  SetFormFacts(form, attributes["expect"], faultAt);
  if (attributes["lookup"] != "0") RegisterForLookup(formId, form);
  if (attributes["list"] != "0") {
    const std::uint32_t key = attributes.count("key") ? ParseFormId(attributes["key"], ok) : formId;
    listings_.push_back({key, attributes.count("nullform") ? nullptr : form, false});
  }
  forms_[formId] = form;
  return error.empty();
}

void World::AddEmptySlot() {
  dirty_ = true;
  listings_.push_back({0xFFFFFFFFu, NewBlockFaultingAt(0), true});
}

void World::SetOutpostMarkerPresent(bool present) {
  dirty_ = true;
  outpostMarker_ = present;
}

void World::SetListMarkerPresent(bool present) {
  dirty_ = true;
  listMarker_ = present;
}

bool World::SetTableShape(const std::string& shape, std::string& error) {
  dirty_ = true;
  tableShape_ = shape;
  if (shape == "none" || shape == "count-equals" || shape == "null-slots" || shape == "normal" ||
      shape == "wide-count-null-slots" || shape == "page-end")
    return true;
  return error = "unknown table shape " + shape, false;
}

void World::SetKeptSourcePresent(bool present) {
  dirty_ = true;
  keptSource_ = present;
}

bool World::SetKeptFormA(const std::string& id, std::string& error) {
  dirty_ = true;
  bool ok = true;
  keptFormA_ = id == "none" ? 0 : ParseFormId(id, ok);
  if (!ok) return error = "bad kept-a id", false;
  return true;
}

bool World::Commit(std::string& error) {
  if (!dirty_) return true;
  dirty_ = false;
  if (listMarker_ && !forms_.count(ListMarkerFormId)) {
    forms_[ListMarkerFormId] = NewForm(ListMarkerFormId, 'L', Member::FormBytes);
    RegisterForLookup(ListMarkerFormId, forms_[ListMarkerFormId]);
  } else if (!listMarker_) {
    RegisterForLookup(ListMarkerFormId, nullptr);
  }
  for (const Reference& reference : references_) {
    const auto target = forms_.find(reference.formId);
    if (target == forms_.end()) return error = "reference to an undefined form", false;
    Put<void*>(reference.object, reference.offset, target->second);
  }
  references_.clear();
  if (tableShape_ == "none") {
    RemoveFormTable();
  } else {
    const std::uint64_t listed = listings_.size();
    PlaceSlotArraysAtPageEnd(tableShape_ == "page-end");
    TableSlot* slots = NewSlotArray(listed);
    for (std::size_t i = 0; i < listings_.size(); ++i) {
      slots[i] = {listings_[i].key, 0, listings_[i].form, listings_[i].empty ? EmptySlot : 0u, 0};
    }
    const auto low = static_cast<std::uint32_t>(listed);
    if (tableShape_ == "wide-count-null-slots") {
      // A count of 2^32 + n with n in the word: equal in the low 32 bits only.
      SetFormTable(nullptr, (std::uint64_t{1} << 32) + listed, low);
    } else {
      SetFormTable(tableShape_ == "null-slots" ? nullptr : slots, listed,
                   tableShape_ == "count-equals" ? low : low + 1);
    }
  }
  SetOutpostMarker(outpostMarker_ ? outpostMarker : nullptr);
  unsigned char* source = keptSource_ ? NewBlock(16) : nullptr;
  if (source != nullptr && keptFormA_ != 0) {
    if (!forms_.count(keptFormA_)) return error = "kept-a names an undefined form", false;
    Put<void*>(source, 0, forms_[keptFormA_]);
  }
  SetKeptFormSource(source);
  return true;
}

}  // namespace sim
