// The plugin's file calls as Windows answers them where Wine is more lenient, and other
// programs that hold its files: the simulator patches the plugin's CreateFileW, MoveFileExW,
// GetFileAttributesW, WriteFile and Sleep. Each refusal is traced as `file-refused CALL NAME WHY`.
//   - A path not in the \\?\ form whose full path reaches 260 characters is refused
//     (ERROR_FILENAME_EXCED_RANGE, `too-long`); Wine has no such limit.
//   - A rename onto a read-only file is refused (ERROR_ACCESS_DENIED, `read-only`); Wine
//     running as root replaces it.
//   - A file whose name contains a text given to DenyChanges may not be created, renamed, or
//     opened to change or delete it (ERROR_ACCESS_DENIED, `denied`), as in a folder whose
//     permissions refuse the player (under Program Files, or Controlled Folder Access); it may
//     be read.
//   - Sleep is traced (`sleep N`) and returns at once: the plugin waits only before retrying a
//     rename.
//   - A WriteFile while the plugin holds the game's table lock is a protocol error: the files
//     are written after the lock is released, never during the game's pause. So is adding or
//     removing a vectored exception handler, whose entry Windows takes from the heap.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

void PatchPluginFileCalls(HMODULE plugin);

// Another program opens NAME in the plugin folder for `access` (letters: r read, w write,
// d delete), sharing it as `sharing` says ("none" or the same letters), and traces `hold NAME
// -> held` or `hold NAME -> error N`. With `untilRenameFails`, it lets go (traced `release
// NAME`) as soon as a rename of the plugin's, from or to that file, has failed.
void HoldPluginFile(const std::string& name, const std::string& sharing, const std::string& access,
                    bool untilRenameFails);
void ReleasePluginFile(const std::string& name);

void DenyChanges(const std::wstring& nameContains);

}  // namespace sim
