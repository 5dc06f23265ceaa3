#include "glue/game_folder.h"

#include <windows.h>

#include "glue/files.h"
#include "seam.h"

namespace msvc_host {
namespace {

const sim::ScratchGameFolder* activeFolder = nullptr;

}  // namespace

GameFolderScope::GameFolderScope(const sim::ScratchGameFolder& folder) {
  activeFolder = &folder;
}

GameFolderScope::~GameFolderScope() {
  activeFolder = nullptr;
}

std::string SettingsNow() {
  if (activeFolder == nullptr) return "";
  return ReadFileBytes(activeFolder->SettingsFile()).value_or("");
}

void RemoveGameFolderAfterCrash() {
  if (activeFolder == nullptr) return;
  wchar_t temp[MAX_PATH];
  if (GetTempPathW(MAX_PATH, temp) != 0) SetCurrentDirectoryW(temp);
  sim::RemoveTree(activeFolder->Path());
}

}  // namespace msvc_host

extern "C" void GlueWriteSettings(const char* bytes) {
  if (msvc_host::activeFolder != nullptr) msvc_host::activeFolder->WriteSettings(bytes);
}

extern "C" const char* GlueReadSettings() {
  static std::string bytes;
  if (msvc_host::activeFolder == nullptr) return nullptr;
  const auto file = msvc_host::ReadFileBytes(msvc_host::activeFolder->SettingsFile());
  if (!file) return nullptr;
  bytes = *file;
  return bytes.c_str();
}
