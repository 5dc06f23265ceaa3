#include "game/plugin_exports.h"

#include "game/checks.h"
#include "game/text.h"

namespace {

// The few PE format positions the walk needs (PE32+).
constexpr uint32_t DosNewHeaderOffset = 0x3C;
constexpr uint32_t OptionalHeaderOffset = 0x18;   // from the NT headers
constexpr uint32_t SizeOfImageOffset = 0x38;      // in the optional header
constexpr uint32_t ExportDirectoryOffset = 0x70;  // the first data directory
constexpr uint32_t GameVersion = 0x010F0D80;      // 1.15.216.0

template <class T>
T At(const unsigned char* bytes, uint64_t offset) {
  T value;
  auto* out = reinterpret_cast<unsigned char*>(&value);
  for (unsigned i = 0; i < sizeof(T); ++i) out[i] = bytes[offset + i];
  return value;
}

// Whether the fixed-width field holds the text and then only NUL bytes.
bool FieldHolds(const unsigned char* field, uint32_t width, const char* text) {
  uint32_t i = 0;
  for (; text[i] != '\0'; ++i) {
    if (i == width || field[i] != static_cast<unsigned char>(text[i])) return false;
  }
  for (; i < width; ++i) {
    if (field[i] != 0) return false;
  }
  return true;
}

}  // namespace

PluginExports WalkExports(const unsigned char* module) {
  PluginExports exports;
  const uint32_t nt = At<uint32_t>(module, DosNewHeaderOffset);
  const unsigned char* optional = module + nt + OptionalHeaderOffset;
  exports.imageSize = At<uint32_t>(optional, SizeOfImageOffset);
  const uint32_t directoryRva = At<uint32_t>(optional, ExportDirectoryOffset);
  if (directoryRva == 0) return exports;
  const unsigned char* directory = module + directoryRva;
  exports.moduleName = reinterpret_cast<const char*>(module + At<uint32_t>(directory, 0x0C));
  exports.ordinalBase = At<uint32_t>(directory, 0x10);
  exports.nameCount = At<uint32_t>(directory, 0x18);
  const uint32_t functionsRva = At<uint32_t>(directory, 0x1C);
  const uint32_t namesRva = At<uint32_t>(directory, 0x20);
  const uint32_t ordinalsRva = At<uint32_t>(directory, 0x24);
  for (uint32_t i = 0; i < exports.nameCount; ++i) {
    const auto* name =
        reinterpret_cast<const char*>(module + At<uint32_t>(module, namesRva + 4 * i));
    const uint16_t index = At<uint16_t>(module, ordinalsRva + 2 * i);
    const unsigned char* target = module + At<uint32_t>(module, functionsRva + 4 * index);
    if (TextEquals(name, "VKRXPlugin_Load")) {
      exports.loadOrdinal = exports.ordinalBase + index;
      exports.load = reinterpret_cast<PluginLoadFunction>(reinterpret_cast<uint64_t>(target));
    } else if (TextEquals(name, "VKRXPlugin_Version")) {
      exports.versionOrdinal = exports.ordinalBase + index;
      exports.versionRecord = target;
    }
  }
  return exports;
}

bool CheckExportsAndVersionRecord(const PluginExports& exports) {
  Line directory;
  directory.Add("module ")
      .Quoted(exports.moduleName)
      .Add(", ordinal base ")
      .Decimal(exports.ordinalBase)
      .Add(", ")
      .Decimal(exports.nameCount)
      .Add(" name(s)");
  Check(
      "Loader: the export directory names the module VKRXPlugin.dll with two names from ordinal 1",
      TextEquals(exports.moduleName, "VKRXPlugin.dll") && exports.ordinalBase == 1 &&
          exports.nameCount == 2,
      directory);
  Line ordinals;
  ordinals.Add("VKRXPlugin_Load at ")
      .Decimal(exports.loadOrdinal)
      .Add(", VKRXPlugin_Version at ")
      .Decimal(exports.versionOrdinal);
  Check("Loader: VKRXPlugin_Load is ordinal 1 and VKRXPlugin_Version ordinal 2",
        exports.loadOrdinal == 1 && exports.versionOrdinal == 2, ordinals);
  if (exports.load == nullptr || exports.versionRecord == nullptr) return false;

  const unsigned char* record = exports.versionRecord;
  Line numbers;
  numbers.Add("record version ")
      .Decimal(At<uint32_t>(record, 0x000))
      .Add(", plugin version 0x")
      .Hex(At<uint32_t>(record, 0x004));
  Check("Version record: record version 1, plugin version 2.0.0.0",
        At<uint32_t>(record, 0x000) == 1 && At<uint32_t>(record, 0x004) == 0x02000000, numbers);
  Check("Version record: display name and author name, NUL-filled",
        FieldHolds(record + 0x008, 256, "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek") &&
            FieldHolds(record + 0x108, 256, "Tovenmarek"));
  Line games;
  games.Add("compatible game versions 0x")
      .Hex(At<uint32_t>(record, 0x210))
      .Add(", 0x")
      .Hex(At<uint32_t>(record, 0x214));
  Check("Version record: the one compatible game version is 1.15.216.0",
        At<uint32_t>(record, 0x210) == GameVersion && At<uint32_t>(record, 0x214) == 0, games);
  return true;
}
