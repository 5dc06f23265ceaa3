// The game's forms as the game lays them out: a virtual table with GetFormType in slot 34, and
// the members the plugin reads at the game's offsets. Every form of the host's world, and every
// object that the game hands around as a form (bases, parents, marker holders), is one of these.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct CastView;

// What the host keeps about a form for itself, after the bytes the game's readers see.
struct HostFormState {
  uint8_t type = 0;
  bool heldByGame = false;       // GetFormHolder answers that something holds it
  CastView* asTarget = nullptr;  // GameDynamicCast's answer: the form seen as the target class
  bool lookupSkips = false;      // LookupFormById does not find it under its FormId
};

// Slots 0 to 33: the plugin never calls them; a call records a fault.
#define GAME_UNUSED_SLOT(n)            \
  virtual void UnusedSlot##n() const { \
    UnexpectedVirtualCall(n);          \
  }

class GameForm {
 public:
  constexpr GameForm() = default;

  GAME_UNUSED_SLOT(0);
  GAME_UNUSED_SLOT(1);
  GAME_UNUSED_SLOT(2);
  GAME_UNUSED_SLOT(3);
  GAME_UNUSED_SLOT(4);
  GAME_UNUSED_SLOT(5);
  GAME_UNUSED_SLOT(6);
  GAME_UNUSED_SLOT(7);
  GAME_UNUSED_SLOT(8);
  GAME_UNUSED_SLOT(9);
  GAME_UNUSED_SLOT(10);
  GAME_UNUSED_SLOT(11);
  GAME_UNUSED_SLOT(12);
  GAME_UNUSED_SLOT(13);
  GAME_UNUSED_SLOT(14);
  GAME_UNUSED_SLOT(15);
  GAME_UNUSED_SLOT(16);
  GAME_UNUSED_SLOT(17);
  GAME_UNUSED_SLOT(18);
  GAME_UNUSED_SLOT(19);
  GAME_UNUSED_SLOT(20);
  GAME_UNUSED_SLOT(21);
  GAME_UNUSED_SLOT(22);
  GAME_UNUSED_SLOT(23);
  GAME_UNUSED_SLOT(24);
  GAME_UNUSED_SLOT(25);
  GAME_UNUSED_SLOT(26);
  GAME_UNUSED_SLOT(27);
  GAME_UNUSED_SLOT(28);
  GAME_UNUSED_SLOT(29);
  GAME_UNUSED_SLOT(30);
  GAME_UNUSED_SLOT(31);
  GAME_UNUSED_SLOT(32);
  GAME_UNUSED_SLOT(33);

  // Slot 34: the one-byte type code, in RAX with garbage above it, through the engine gate.
  virtual uint64_t GetFormType() const;

  unsigned char unread08[0x20] = {};
  uint32_t formId = 0;  // +0x28
  unsigned char unread2C[0x4C] = {};
  uint32_t markerItemCount = 0;        // +0x78
  void* const* markerItems = nullptr;  // +0x80
  unsigned char unread88[0x10] = {};
  GameForm* baseObject = nullptr;  // +0x98
  unsigned char unreadA0[0x18] = {};
  void* holdLink = nullptr;  // +0xB8
  unsigned char unreadC0[0x08] = {};
  void* attachmentHolder = nullptr;  // +0xC8
  unsigned char unreadD0[0x08] = {};
  GameForm* markerHolderB = nullptr;  // +0xD8
  unsigned char unreadE0[0x50] = {};
  GameForm* baseRelatedForm = nullptr;  // +0x130
  unsigned char unread138[0x38] = {};
  uint32_t idCount = 0;           // +0x170
  const uint32_t* ids = nullptr;  // +0x178
  unsigned char unread180[0x58] = {};
  GameForm* markerHolderA = nullptr;  // +0x1D8
  unsigned char unread1E0[0x10] = {};
  GameForm* keptFormB = nullptr;  // +0x1F0
  unsigned char unread1F8[0xB8] = {};
  GameForm* parentObject = nullptr;  // +0x2B0

  HostFormState host;

 private:
  static void UnexpectedVirtualCall(int slot);
};

#undef GAME_UNUSED_SLOT

// The offsets are the game's; a class with a virtual table is not standard-layout, but clang
// lays it out in declaration order after the table pointer, which is what is checked here.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(GameForm, formId) == 0x28);
static_assert(offsetof(GameForm, markerItemCount) == 0x78);
static_assert(offsetof(GameForm, markerItems) == 0x80);
static_assert(offsetof(GameForm, baseObject) == 0x98);
static_assert(offsetof(GameForm, holdLink) == 0xB8);
static_assert(offsetof(GameForm, attachmentHolder) == 0xC8);
static_assert(offsetof(GameForm, markerHolderB) == 0xD8);
static_assert(offsetof(GameForm, baseRelatedForm) == 0x130);
static_assert(offsetof(GameForm, idCount) == 0x170);
static_assert(offsetof(GameForm, ids) == 0x178);
static_assert(offsetof(GameForm, markerHolderA) == 0x1D8);
static_assert(offsetof(GameForm, keptFormB) == 0x1F0);
static_assert(offsetof(GameForm, parentObject) == 0x2B0);
#pragma clang diagnostic pop

// A ParentObject seen as the cast's target class: its list of forms.
struct CastView {
  unsigned char unread00[0x20] = {};
  uint32_t count = 0;                // +0x20
  GameForm* const* forms = nullptr;  // +0x28
};
static_assert(offsetof(CastView, count) == 0x20 && offsetof(CastView, forms) == 0x28);

// One entry of an attached list; the plugin reads the item and the namer.
struct AttachedEntry {
  void* item = nullptr;   // +0x00
  void* namer = nullptr;  // +0x08
  uint64_t unread = 0;
};
static_assert(sizeof(AttachedEntry) == 24);

// The block FindAttachedList returns.
struct AttachedBlock {
  unsigned char unread00[0x18] = {};
  uint32_t count = 0;                      // +0x18
  const AttachedEntry* entries = nullptr;  // +0x20
};
static_assert(offsetof(AttachedBlock, count) == 0x18 && offsetof(AttachedBlock, entries) == 0x20);

// What a 'K' or 'J' form's AttachmentHolder points to, as far as the host needs it.
struct AttachmentHolder {
  AttachedBlock* block = nullptr;  // FindAttachedList's answer for kind 0x80
};

// An item in a MarkerItems list; MatchesMarker answers from it.
struct MarkerItem {
  bool matchesOutpostMarker = false;
};

// The FormTable: its slot array and counts.
struct FormTableSlot {
  uint32_t key = 0;  // +0x00
  uint32_t unread04 = 0;
  GameForm* form = nullptr;  // +0x08
  uint32_t state = 0;        // +0x10; all ones marks an empty slot
  uint32_t unread14 = 0;
};
static_assert(sizeof(FormTableSlot) == 24 && offsetof(FormTableSlot, state) == 0x10);

struct FormTable {
  unsigned char unread00[0x10] = {};
  FormTableSlot* slots = nullptr;  // +0x10
  uint64_t slotCount = 0;          // +0x18
  uint32_t freeCount = 0;          // +0x20; equal to the count's low 32 bits: nothing in use
};
static_assert(offsetof(FormTable, slots) == 0x10 && offsetof(FormTable, slotCount) == 0x18 &&
              offsetof(FormTable, freeCount) == 0x20);

inline constexpr uint32_t EmptySlotState = 0xFFFFFFFF;

// Forms are taken from a fixed pool: the game side allocates nothing.
GameForm* NewForm(uint32_t formId, uint8_t type);
// Every form handed out so far, for LookupFormById and for telling the host's pointers apart.
uint32_t FormCount();
GameForm* FormAt(uint32_t index);
bool IsHostForm(const void* pointer);
