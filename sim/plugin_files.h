// The plugin's file calls as Windows answers them where Wine is more lenient, and other
// programs that hold its files: the simulator patches the plugin's CreateFileW, MoveFileExW,
// GetFileAttributesW and WriteFile. Each refusal is traced as `file-refused CALL NAME WHY`.
//   - A path not in the \\?\ form whose full path reaches 260 characters is refused
//     (ERROR_FILENAME_EXCED_RANGE, `too-long`); Wine has no such limit.
//   - A rename onto a read-only file is refused (ERROR_ACCESS_DENIED, `read-only`); Wine
//     running as root replaces it.
//   - A new file whose name contains a text given to DenyCreating is refused
//     (ERROR_ACCESS_DENIED, `denied`), as in a folder where the player may not create files.
//   - A WriteFile while the plugin holds the game's table lock is a protocol error: the files
//     are written after the lock is released, never during the game's pause.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

void PatchPluginFileCalls(HMODULE plugin);

// Another program opens NAME in the plugin folder for reading, sharing it as `sharing` says
// ("none" or letters: r read, w write, d delete), and traces `hold NAME -> held` or
// `hold NAME -> error N`. With `untilRenameFails`, it lets go (traced `release NAME`) as soon
// as a rename of the plugin's, from or to that file, has failed.
void HoldPluginFile(const std::string& name, const std::string& sharing, bool untilRenameFails);
void ReleasePluginFile(const std::string& name);

void DenyCreating(const std::wstring& nameContains);

}  // namespace sim
