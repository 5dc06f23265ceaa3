// What the loader, a player's file browser and a virus scanner see of the plugin: its export
// directory, the exported version record, the version resource and the import directory.
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "sim/loader.h"
#include "sim/pe_image.h"
#include "sim/trace.h"

namespace sim {
namespace {

bool IsExecutableRva(const IMAGE_NT_HEADERS64* nt, DWORD rva) {
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (rva >= section->VirtualAddress &&
        rva < section->VirtualAddress + section->Misc.VirtualSize) {
      return (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
    }
  }
  return false;
}

void PrintExports(HMODULE module) {
  const auto* nt = NtHeaders(module);
  const auto* exports =
      DataDirectory<const IMAGE_EXPORT_DIRECTORY>(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (exports == nullptr) {
    Trace("export-directory missing");
    return;
  }
  Trace("export-module %s", AtRva<const char>(module, exports->Name));
  Trace("export-base %u functions=%u names=%u", static_cast<unsigned>(exports->Base),
        static_cast<unsigned>(exports->NumberOfFunctions),
        static_cast<unsigned>(exports->NumberOfNames));
  const auto* names = AtRva<const DWORD>(module, exports->AddressOfNames);
  const auto* ordinals = AtRva<const WORD>(module, exports->AddressOfNameOrdinals);
  const auto* functions = AtRva<const DWORD>(module, exports->AddressOfFunctions);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const DWORD rva = functions[ordinals[i]];
    Trace("export ordinal=%u name=%s kind=%s", static_cast<unsigned>(exports->Base + ordinals[i]),
          AtRva<const char>(module, names[i]), IsExecutableRva(nt, rva) ? "function" : "data");
  }
}

void PrintVersionRecord(HMODULE module) {
  const auto* record =
      reinterpret_cast<const unsigned char*>(GetProcAddress(module, "VKRXPlugin_Version"));
  if (record == nullptr) {
    Trace("version-record missing");
    return;
  }
  std::string hex;
  char byte[4];
  for (int i = 0; i < 0x25C; ++i) {
    wsprintfA(byte, "%02X", record[i]);
    hex += byte;
  }
  Trace("version-record %s", hex.c_str());
}

BOOL CALLBACK NoteLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR) {
  Trace("resource-language %04X", language);
  return TRUE;
}

void PrintVersionResource(const std::wstring& path, HMODULE module) {
  EnumResourceLanguagesW(module, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), NoteLanguage, 0);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<unsigned char> data(size ? size : 1);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) {
    Trace("resource missing");
    return;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    auto word = [](DWORD value, int high) {
      return static_cast<unsigned>(high ? HIWORD(value) : LOWORD(value));
    };
    Trace(
        "resource-fixed file=%u.%u.%u.%u product=%u.%u.%u.%u mask=%X flags=%X os=%X type=%X "
        "subtype=%X date=%X.%X",
        word(fixed->dwFileVersionMS, 1), word(fixed->dwFileVersionMS, 0),
        word(fixed->dwFileVersionLS, 1), word(fixed->dwFileVersionLS, 0),
        word(fixed->dwProductVersionMS, 1), word(fixed->dwProductVersionMS, 0),
        word(fixed->dwProductVersionLS, 1), word(fixed->dwProductVersionLS, 0),
        static_cast<unsigned>(fixed->dwFileFlagsMask), static_cast<unsigned>(fixed->dwFileFlags),
        static_cast<unsigned>(fixed->dwFileOS), static_cast<unsigned>(fixed->dwFileType),
        static_cast<unsigned>(fixed->dwFileSubtype), static_cast<unsigned>(fixed->dwFileDateMS),
        static_cast<unsigned>(fixed->dwFileDateLS));
  }
  WORD* translation = nullptr;
  if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translation), &length) &&
      length >= 4) {
    Trace("resource-translation %04X %04X", translation[0], translation[1]);
  }
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                              L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) {
      Trace("resource-string %ls=%s", name, EscapeText(std::wstring(value)).c_str());
    }
  }
}

// One line an imported function: "import DLL FUNCTION", the DLL's name in lower case.
void PrintImports(HMODULE module) {
  const auto* entry =
      DataDirectory<const IMAGE_IMPORT_DESCRIPTOR>(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
  for (; entry != nullptr && entry->Name != 0; ++entry) {
    std::string dll = AtRva<const char>(module, entry->Name);
    for (char& c : dll) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto* name = AtRva<const IMAGE_THUNK_DATA64>(module, entry->OriginalFirstThunk);
         name->u1.AddressOfData != 0; ++name) {
      if (IMAGE_SNAP_BY_ORDINAL64(name->u1.Ordinal)) {
        Trace("import %s #%u", dll.c_str(),
              static_cast<unsigned>(IMAGE_ORDINAL64(name->u1.Ordinal)));
        continue;
      }
      const auto* byName =
          AtRva<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(name->u1.AddressOfData));
      Trace("import %s %s", dll.c_str(), reinterpret_cast<const char*>(byName->Name));
    }
  }
}

}  // namespace

void InspectPlugin(const std::wstring& path) {
  const HMODULE module = PluginModule();
  PrintExports(module);
  PrintVersionRecord(module);
  PrintVersionResource(path, module);
  PrintImports(module);
}

}  // namespace sim
