#include "game/world.h"

#include "game/game_objects.h"
#include "game/world_objects.h"

namespace {

constexpr uint32_t ListMarkerFormId = 0x0020C59F;
constexpr uint32_t ExcludedBaseFormId = 0x00000007;
constexpr uint32_t UnresolvedFormId = 0xFF00DEAD;

World world;
constinit FormTableSlot tableSlots[World::Capacity];

// The forms and objects the listed forms refer to.
struct Parts {
  GameForm* runtimeBase;
  GameForm* loadedBaseWithEight;
  GameForm* loadedBaseWithOther;
  GameForm* loadedBaseAlone;
  GameForm* baseSeven;
  AttachmentHolder* namedItems;
  AttachmentHolder* unnamedItems;
  AttachmentHolder* noList;
  GameForm* listMarkedParent;
  GameForm* parentNamingAnOutpost;
  GameForm* parentNamingNothing;
  GameForm* targetParentUnmarked;
  GameForm* outpostHolder;
  GameForm* plainHolder;
};

uint32_t nextRuntimeId = 0xFF000100;
uint32_t nextLoadedId = 0x00010000;

GameForm* Runtime(uint8_t type) {
  return NewForm(nextRuntimeId++, type);
}
GameForm* Loaded(uint8_t type) {
  return NewForm(nextLoadedId++, type);
}

void List(const char* rule, GameForm* form, uint8_t erasedOutpostsKept,
          uint8_t erasedOutpostsErased, uint8_t listedFrom = 1) {
  ListedForm& entry = world.listed[world.count++];
  entry.rule = rule;
  entry.form = form;
  entry.key = form != nullptr ? form->formId : nextRuntimeId++;
  entry.emptySlot = false;
  entry.listedFrom = listedFrom;
  entry.erasedAt[0] = erasedOutpostsKept;
  entry.erasedAt[1] = erasedOutpostsErased;
  entry.erasedInTwoSteps = form != nullptr && form->host.type != 'V';
}

// A run-time form that the rules of its type would erase, before the one change that keeps it.
GameForm* Erasable(uint8_t type, const Parts& parts) {
  GameForm* form = Runtime(type);
  if (type != 'V') form->baseObject = parts.runtimeBase;
  return form;
}

Parts BuildParts() {
  Parts parts;
  NewForm(ListMarkerFormId, 'L');  // what LookupFormById finds under the marker's FormId
  // Another object with that FormId: the list-marked test compares FormIds, not pointers.
  GameForm* markerTwin = NewForm(ListMarkerFormId, 'L');
  markerTwin->host.lookupSkips = true;
  parts.runtimeBase = Runtime('S');
  parts.loadedBaseWithEight = Loaded('B');
  parts.loadedBaseWithEight->baseRelatedForm = Loaded('8');
  parts.loadedBaseWithOther = Loaded('B');
  parts.loadedBaseWithOther->baseRelatedForm = Loaded('Q');  // any type but '8'
  parts.loadedBaseAlone = Loaded('B');
  parts.baseSeven = NewForm(ExcludedBaseFormId, 'B');
  // Entries as item/namer pairs: only an entry with both set counts.
  parts.namedItems = NewHolder(true, true, false, true, true);
  parts.unnamedItems = NewHolder(true, false, true, true, false);
  parts.noList = NewHolder(false, false, false, false, false);

  MarkerItem* outpostItem = NewItem(true);
  MarkerItem* plainItem = NewItem(false);
  parts.outpostHolder = Loaded('H');
  SetMarkerItems(parts.outpostHolder, 2, plainItem, outpostItem, nullptr);
  parts.plainHolder = Loaded('H');
  SetMarkerItems(parts.plainHolder, 3, nullptr, plainItem, plainItem);

  parts.listMarkedParent = Loaded('P');
  parts.listMarkedParent->host.asTarget = NewCastView(nullptr, markerTwin);
  GameForm* namedHolder = Loaded('H');  // named by a parent's FormId list
  SetMarkerItems(namedHolder, 3, nullptr, plainItem, outpostItem);
  parts.parentNamingAnOutpost = Loaded('P');
  parts.parentNamingAnOutpost->idCount = 2;
  parts.parentNamingAnOutpost->ids = NewIdList(UnresolvedFormId, namedHolder->formId);
  parts.parentNamingNothing = Loaded('P');
  parts.parentNamingNothing->idCount = 2;
  parts.parentNamingNothing->ids = NewIdList(UnresolvedFormId, UnresolvedFormId + 1);
  parts.targetParentUnmarked = Loaded('P');
  parts.targetParentUnmarked->host.asTarget = NewCastView(Loaded('L'), nullptr);
  return parts;
}

void ListKForms(const Parts& parts) {
  GameForm* inEmptySlot = Erasable('K', parts);
  List("a 'K' form in a slot marked empty", inEmptySlot, 0, 0);
  world.listed[world.count - 1].emptySlot = true;
  List("a slot without a form", nullptr, 0, 0);
  List("a 'K' form under a key that is not its FormId", Erasable('K', parts), 0, 0);
  world.listed[world.count - 1].key = nextRuntimeId++;
  GameForm* loaded = Loaded('K');
  loaded->baseObject = parts.runtimeBase;
  List("a 'K' form the game loaded", loaded, 0, 0);
  List("a run-time form of another type", parts.runtimeBase, 0, 0);
  List("a 'K' form with a run-time base", Erasable('K', parts), 1, 1);
  GameForm* held = Erasable('K', parts);
  held->holdLink = parts.runtimeBase;
  List("a 'K' form with a hold link", held, 0, 0);
  GameForm* baseless = Erasable('K', parts);
  baseless->baseObject = nullptr;
  List("a 'K' form without a base", baseless, 0, 0);
  GameForm* seven = Erasable('K', parts);
  seven->baseObject = parts.baseSeven;
  List("a 'K' form whose base is FormId 00000007", seven, 0, 0);
  GameForm* withEight = Erasable('K', parts);
  withEight->baseObject = parts.loadedBaseWithEight;
  List("a 'K' form whose loaded base has an '8' related form", withEight, 1, 1);
  GameForm* withOther = Erasable('K', parts);
  withOther->baseObject = parts.loadedBaseWithOther;
  List("a 'K' form whose loaded base has a related form of another type", withOther, 0, 0);
  GameForm* alone = Erasable('K', parts);
  alone->baseObject = parts.loadedBaseAlone;
  List("a 'K' form whose loaded base has no related form", alone, 0, 0);
  GameForm* named = Erasable('K', parts);
  named->attachmentHolder = parts.namedItems;
  List("a 'K' form with a named attached item", named, 0, 0);
  GameForm* unnamed = Erasable('K', parts);
  unnamed->attachmentHolder = parts.unnamedItems;
  List("a 'K' form whose attached items each lack an item or a namer", unnamed, 1, 1);
  GameForm* noList = Erasable('K', parts);
  noList->attachmentHolder = parts.noList;
  List("a 'K' form whose holder has no attached list", noList, 1, 1);
  GameForm* heldByGame = Erasable('K', parts);
  heldByGame->host.heldByGame = true;
  List("a 'K' form the game holds (GetFormHolder)", heldByGame, 0, 0);
}

void ListJForms(const Parts& parts) {
  List("a 'J' form with a run-time base", Erasable('J', parts), 1, 1);
  GameForm* held = Erasable('J', parts);
  held->holdLink = parts.runtimeBase;
  List("a 'J' form with a hold link", held, 0, 0);
  GameForm* baseless = Erasable('J', parts);
  baseless->baseObject = nullptr;
  List("a 'J' form without a base", baseless, 0, 0);
  GameForm* loadedBase = Erasable('J', parts);
  loadedBase->baseObject = parts.loadedBaseWithEight;
  List("a 'J' form whose loaded base has an '8' related form", loadedBase, 0, 0);
  GameForm* named = Erasable('J', parts);
  named->attachmentHolder = parts.namedItems;
  List("a 'J' form with a named attached item", named, 0, 0);
  GameForm* heldByGame = Erasable('J', parts);
  heldByGame->host.heldByGame = true;
  List("a 'J' form the game holds (GetFormHolder)", heldByGame, 0, 0);
}

void ListVForms(const Parts& parts) {
  GameForm* keptA = Erasable('V', parts);
  GameForm* keptB = Erasable('V', parts);
  keptA->keptFormB = keptB;
  Game().keptFormSource.keptFormA = keptA;
  List("the 'V' form GetKeptForm answers", keptA, 0, 0);
  List("the 'V' form the kept form points to", keptB, 0, 0);
  List("a 'V' form without a parent or marker holders", Erasable('V', parts), 1, 1);
  GameForm* listMarked = Erasable('V', parts);
  listMarked->parentObject = parts.listMarkedParent;
  List("a 'V' form whose parent's cast list holds the marker's FormId", listMarked, 0, 0);
  GameForm* listMarkedOutpost = Erasable('V', parts);
  listMarkedOutpost->parentObject = parts.listMarkedParent;
  listMarkedOutpost->markerHolderA = parts.outpostHolder;
  List("a list-marked 'V' form with an outpost item too", listMarkedOutpost, 0, 0);
  GameForm* namedOutpost = Erasable('V', parts);
  namedOutpost->parentObject = parts.parentNamingAnOutpost;
  List("a 'V' form whose parent names a form with an outpost item", namedOutpost, 0, 1);
  GameForm* outpostA = Erasable('V', parts);
  outpostA->markerHolderA = parts.outpostHolder;
  List("a 'V' form with an outpost item in marker holder A", outpostA, 0, 1);
  GameForm* outpostB = Erasable('V', parts);
  outpostB->markerHolderA = parts.plainHolder;
  outpostB->markerHolderB = parts.outpostHolder;
  List("a 'V' form with an outpost item only in marker holder B", outpostB, 0, 1);
  GameForm* unresolved = Erasable('V', parts);
  unresolved->parentObject = parts.parentNamingNothing;
  List("a 'V' form whose parent names only FormIds that do not resolve", unresolved, 1, 1);
  GameForm* notOutposts = Erasable('V', parts);
  notOutposts->markerHolderA = parts.plainHolder;
  notOutposts->markerHolderB = parts.plainHolder;
  List("a 'V' form whose marker holders hold only items that are not outposts", notOutposts, 1, 1);
  GameForm* unmarked = Erasable('V', parts);
  unmarked->parentObject = parts.targetParentUnmarked;
  List("a 'V' form whose parent is of the target class without the marker", unmarked, 1, 1);
}

}  // namespace

World& BuildWorldOfEveryRule() {
  const Parts parts = BuildParts();
  ListKForms(parts);
  ListJForms(parts);
  ListVForms(parts);
  List("a 'K' form that the save and reload left behind", Erasable('K', parts), 2, 2, 2);
  List("a 'V' form that the save and reload left behind", Erasable('V', parts), 2, 2, 2);
  return world;
}

World& BuildWorldForTheCast() {
  const Parts parts = BuildParts();
  GameForm* unmarked = Erasable('V', parts);
  unmarked->parentObject = parts.targetParentUnmarked;
  List("a 'V' form whose parent is of the target class without the marker", unmarked, 1, 1);
  GameForm* listMarked = Erasable('V', parts);
  listMarked->parentObject = parts.listMarkedParent;
  List("a 'V' form whose parent's cast list holds the marker's FormId", listMarked, 0, 0);
  return world;
}

void ListInTable(const World& listed, uint8_t load) {
  FormTable& table = Game().table;
  uint32_t count = 0;
  uint32_t empty = 0;
  for (uint32_t i = 0; i < listed.count; ++i) {
    const ListedForm& entry = listed.listed[i];
    if (entry.listedFrom > load) continue;
    FormTableSlot& slot = tableSlots[count++];
    slot.key = entry.key;
    slot.form = entry.form;
    slot.state = entry.emptySlot ? EmptySlotState : 0;
    empty += entry.emptySlot;
  }
  table.slots = tableSlots;
  table.slotCount = count;
  table.freeCount = empty;
}
