#include "game/game_start.h"

#include "game/checks.h"
#include "game/game_objects.h"
#include "game/image.h"
#include "game/loader.h"
#include "seam.h"

namespace {
const unsigned char* pluginModule = nullptr;
}  // namespace

void StartGame(const char* settings, bool withOutpostMarker, GameStart& start) {
  BeginStep("checking the host image");
  if (!CheckImageCoversEveryOffset()) return;
  InstallEngine(withOutpostMarker);
  AttachGameOwnSinks();
  PrepareLoaderRecords();
  GlueWriteSettings(settings);

  BeginStep("loading the plugin's file");
  pluginModule = static_cast<const unsigned char*>(GlueLoadPlugin("KelvarionSaveCleaner.dll"));
  Check("Loader: KelvarionSaveCleaner.dll loads, and its Windows imports can be intercepted",
        pluginModule != nullptr);
  if (pluginModule == nullptr) return;
  BeginStep("walking the plugin's exports");
  start.exports = WalkExports(pluginModule);
  if (!CheckExportsAndVersionRecord(start.exports)) return;
  start.loadResult = StartPlugin(start.exports);
  start.reachedLoad = true;
}

bool InPlugin(const GameStart& start, uint64_t address) {
  const auto base = reinterpret_cast<uint64_t>(pluginModule);
  return pluginModule != nullptr && address >= base && address < base + start.exports.imageSize;
}
