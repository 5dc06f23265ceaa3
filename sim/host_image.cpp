#include "sim/host_image.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/checked.h"

namespace sim {
namespace {

constexpr std::size_t ImageBytes = 0x6200000;
alignas(4096) unsigned char gameImage[ImageBytes];

unsigned char* ModuleStart() {
  return reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
}

}  // namespace

void CheckImageCoversEntryTable() {
  const std::uintptr_t arrayStart = static_cast<std::uintptr_t>(gameImage - ModuleStart());
  const std::uintptr_t arrayEnd = arrayStart + ImageBytes;
  for (const GameOffsetEntry& entry : GameOffsets) {
    if (entry.offset < arrayStart || entry.offset + 16 > arrayEnd) {
      std::fprintf(stderr,
                   "sim: the host image (RVA 0x%llx to 0x%llx) does not cover %s at offset "
                   "0x%llx; the simulator's code before it has grown too large\n",
                   static_cast<unsigned long long>(arrayStart),
                   static_cast<unsigned long long>(arrayEnd), entry.name,
                   static_cast<unsigned long long>(entry.offset));
      std::exit(90);
    }
  }
}

unsigned char* GameAddress(std::uintptr_t offset) {
  return ModuleStart() + offset;
}

void InstallJumpStub(std::uintptr_t offset, const void* target) {
  unsigned char* at = GameAddress(offset);
  DWORD oldProtection = 0;
  Require(VirtualProtect(at, 16, PAGE_EXECUTE_READWRITE, &oldProtection) != 0,
          "VirtualProtect of an engine stub");
  // movabs rax, target ; jmp rax
  at[0] = 0x48;
  at[1] = 0xB8;
  std::memcpy(at + 2, &target, sizeof target);
  at[10] = 0xFF;
  at[11] = 0xE0;
  FlushInstructionCache(GetCurrentProcess(), at, 16);
}

void WriteDataSlot(std::uintptr_t offset, const void* value) {
  std::memcpy(GameAddress(offset), &value, sizeof value);
}

}  // namespace sim
