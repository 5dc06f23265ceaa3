#include "sim/import_patch.h"

#include <cstring>

#include "sim/checked.h"
#include "sim/pe_image.h"

namespace {

void WriteSlot(void** slot, void* value) {
  DWORD oldProtection = 0;
  sim::Require(VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &oldProtection) != 0,
               "VirtualProtect of an import slot");
  *slot = value;
  sim::Require(VirtualProtect(slot, sizeof(void*), oldProtection, &oldProtection) != 0,
               "VirtualProtect restoring an import slot");
}

// The import address table entry, or null when the module does not import the function.
void** FindImportSlot(HMODULE module, const char* dll, const char* function) {
  using sim::AtRva;
  auto* entry = sim::DataDirectory<IMAGE_IMPORT_DESCRIPTOR>(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (entry == nullptr) return nullptr;
  for (; entry->Name != 0; ++entry) {
    if (_stricmp(AtRva<const char>(module, entry->Name), dll) != 0) continue;
    auto* names = AtRva<IMAGE_THUNK_DATA64>(module, entry->OriginalFirstThunk);
    auto* slots = AtRva<IMAGE_THUNK_DATA64>(module, entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL64(names->u1.Ordinal)) continue;
      const auto* byName =
          AtRva<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement)
    : slot_(FindImportSlot(module, dll, function)) {
  if (slot_ == nullptr) return;
  original_ = *slot_;
  WriteSlot(slot_, replacement);
}

ImportPatch::~ImportPatch() {
  if (slot_ != nullptr) WriteSlot(slot_, original_);
}
