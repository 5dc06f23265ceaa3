// Moving the previous run's file at a usual name (KelvarionSaveCleaner.log and the like) to its
// .old name, as an armed start does before it creates its own, and why it could not.
#pragma once

#include <cstdint>

// What kept the usual name from being taken.
enum class Obstacle : std::uint8_t {
  None,           // the previous file moved, or there was none
  HeldOpen,       // another program has the file open (`onOld`: the .old one)
  OldReadOnly,    // the .old file is read-only: one the player keeps
  FolderInPlace,  // a folder stands at the usual name (`onOld`: at the .old name)
  LiveWriter,     // another program is writing the file: a second game, or another program
  Refused,        // Windows refused to move the file, or to create the new one
};

struct SetAside {
  Obstacle obstacle = Obstacle::None;
  bool onOld = false;
};

// A scanner, an indexer or a sync agent holds a file for a moment: a rename it refuses is
// tried again a few times, within about a second for all the files of a start together. A
// rename that Windows refuses for want of permission is not tried again.
class RenameRetries {
 public:
  // Waits before the next try; false when the rename's or the start's tries are spent.
  bool Wait(unsigned& retriesOfThisRename) noexcept;

 private:
  unsigned left_ = 10;
};

// `usual` and `old` are full paths. A folder in either place is someone else's, and a read-only
// .old file is one the player keeps: neither is replaced. A file a live writer holds is not
// moved either: its run goes on writing into it.
SetAside MoveAside(const wchar_t* usual, const wchar_t* old, RenameRetries& retries) noexcept;
