#include "sim/world.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "sim/engine.h"

namespace sim {
namespace {

constexpr std::uint32_t kListMarkerFormId = 0x0020C59F;

std::map<std::string, std::string> Attributes(const std::vector<std::string>& words,
                                              std::size_t from) {
  std::map<std::string, std::string> attributes;
  for (std::size_t i = from; i < words.size(); ++i) {
    const std::size_t equals = words[i].find('=');
    if (equals == std::string::npos) {
      attributes[words[i]] = "1";
    } else {
      attributes[words[i].substr(0, equals)] = words[i].substr(equals + 1);
    }
  }
  return attributes;
}

std::size_t FaultOffset(const std::string& member) {
  static const std::map<std::string, std::size_t> offsets = {
      {"base", Member::kBaseObject},         {"hold", Member::kHoldLink},
      {"related", Member::kBaseRelatedForm}, {"keptb", Member::kKeptFormB},
      {"parent", Member::kParentObject},     {"holdera", Member::kMarkerHolderA},
      {"holderb", Member::kMarkerHolderB}};
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
    Put<std::uint32_t>(holder, Member::kMarkerItemCount, 3);
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
  Put<std::uint32_t>(holder, Member::kMarkerItemCount, static_cast<std::uint32_t>(entries.size()));
  Put<void*>(holder, Member::kMarkerItems, items);
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
  Put<std::uint32_t>(block, Member::kAttachedCount, static_cast<std::uint32_t>(entries.size()));
  Put<void*>(block, Member::kAttachedEntries, list);
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
  Put<std::uint32_t>(parent, Member::kIdListCount, static_cast<std::uint32_t>(idList.size()));
  Put<void*>(parent, Member::kIdList, idArray);
  if (cast != "none") {  // the parent is of the cast's target class
    unsigned char* castParent = NewBlock(0x30);
    Put<void*>(parent, 0, castParent);
    if (cast == "unreadable") {  // entries on an unreadable page: a plain read that faults
      Put<std::uint32_t>(castParent, Member::kCastListCount, 1);
      Put<void*>(castParent, Member::kCastList, NewBlockFaultingAt(0));
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
        entries[i] = NewForm(formId, 'L', Member::kFormBytes);
      } else if (formId != 0) {
        references_.push_back({&entries[i], 0, formId});
      }
    }
    Put<std::uint32_t>(castParent, Member::kCastListCount,
                       static_cast<std::uint32_t>(castList.size()));
    Put<void*>(castParent, Member::kCastList, entries);
  }
  return parent;
}

bool World::AddForm(const std::vector<std::string>& words, std::string& error) {
  if (words.size() < 3) return error = "form needs an id and a type", false;
  bool ok = false;
  const std::uint32_t formId = ParseFormId(words[1], ok);
  if (!ok) return error = "bad form id " + words[1], false;
  const std::uint8_t type = static_cast<std::uint8_t>(
      words[2].size() == 1 ? words[2][0] : std::strtoul(words[2].c_str(), nullptr, 16));
  auto attributes = Attributes(words, 3);
  const std::size_t faultAt = attributes.count("fault") ? FaultOffset(attributes["fault"]) : 0;
  if (attributes.count("fault") && faultAt == 0) return error = "bad fault member", false;
  unsigned char* form = NewForm(formId, type, Member::kFormBytes, faultAt);
  auto reference = [&](const char* name, std::uintptr_t offset) {
    if (!attributes.count(name)) return;
    const std::uint32_t target = ParseFormId(attributes[name], ok);
    if (!ok) error = std::string("bad id for ") + name;
    references_.push_back({form, offset, target});
  };
  reference("base", Member::kBaseObject);
  reference("related", Member::kBaseRelatedForm);
  reference("keptb", Member::kKeptFormB);
  if (attributes.count("hold")) Put<void*>(form, Member::kHoldLink, NewBlock(16));
  if (attributes.count("held")) Put<std::uint8_t>(form, Member::kSimFlags, kFlagHeld);
  if (attributes.count("holder")) {
    Put<void*>(form, Member::kAttachmentHolder, AttachmentHolder(attributes["holder"], error));
  }
  if (attributes.count("items")) FillMarkerItems(form, attributes["items"], error);
  if (attributes.count("holdera")) {
    Put<void*>(form, Member::kMarkerHolderA, MarkerItemHolder(attributes["holdera"], 0x90, error));
  }
  if (attributes.count("holderb")) {
    Put<void*>(form, Member::kMarkerHolderB, MarkerItemHolder(attributes["holderb"], 0x90, error));
  }
  if (attributes.count("parent")) {
    const std::string cast = attributes.count("cast") ? attributes["cast"] : "none";
    Put<void*>(form, Member::kParentObject, ParentObject(attributes["ids"], cast, error));
  }
  if (attributes.count("note")) SetFormNote(form, attributes["note"].c_str());
  if (attributes["lookup"] != "0") RegisterForLookup(formId, form);
  if (attributes["list"] != "0") {
    const std::uint32_t key = attributes.count("key") ? ParseFormId(attributes["key"], ok) : formId;
    listings_.push_back({key, attributes.count("nullform") ? nullptr : form, false});
  }
  forms_[formId] = form;
  return error.empty();
}

bool World::Apply(const std::vector<std::string>& words, std::string& error) {
  const std::string& verb = words[0];
  const std::string argument = words.size() > 1 ? words[1] : "";
  dirty_ = true;
  if (verb == "form") return AddForm(words, error);
  if (verb == "empty") {
    // An empty slot whose stale pointer is unreadable: visiting it would crash.
    listings_.push_back({0xFFFFFFFFu, NewBlockFaultingAt(0), true});
  } else if (verb == "marker") {
    outpostMarker_ = argument != "none";
  } else if (verb == "list-marker") {
    listMarker_ = argument != "none";
  } else if (verb == "table") {
    tableShape_ = argument;
  } else if (verb == "kept-source") {
    keptSource_ = argument != "none";
  } else if (verb == "kept-a") {
    bool ok = true;
    keptFormA_ = argument == "none" ? 0 : ParseFormId(argument, ok);
    if (!ok) return error = "bad kept-a id", false;
  } else {
    return error = "unknown world line " + verb, false;
  }
  return true;
}

bool World::Commit(std::string& error) {
  if (!dirty_) return true;
  dirty_ = false;
  if (listMarker_ && !forms_.count(kListMarkerFormId)) {
    forms_[kListMarkerFormId] = NewForm(kListMarkerFormId, 'L', Member::kFormBytes);
    RegisterForLookup(kListMarkerFormId, forms_[kListMarkerFormId]);
  } else if (!listMarker_) {
    RegisterForLookup(kListMarkerFormId, nullptr);
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
    const std::uint64_t count = listings_.size();
    TableSlot* slots = NewSlotArray(count);
    for (std::size_t i = 0; i < listings_.size(); ++i) {
      slots[i] = {listings_[i].key, 0, listings_[i].form, listings_[i].empty ? kEmptySlot : 0u, 0};
    }
    const auto low = static_cast<std::uint32_t>(count);
    SetFormTable(tableShape_ == "null-slots" ? nullptr : slots, count,
                 tableShape_ == "count-equals" ? low : low + 1);
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
