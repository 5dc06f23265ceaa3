#include "sim/host_image.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

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
  using namespace GameOffset;
  const std::uintptr_t arrayStart = static_cast<std::uintptr_t>(gameImage - ModuleStart());
  const std::uintptr_t arrayEnd = arrayStart + ImageBytes;
  for (const std::uintptr_t offset :
       {FormTableSlot,      FormTableLock,       OutpostMarkerSlot,
        KeptFormSourceSlot, LoadGameEventSource, CastSourceType,
        CastTargetType,     LookupFormById,      GameDynamicCast,
        LockFormTable,      UnlockFormTable,     GetKeptForm,
        GetFormHolder,      BeginErase,          FinishErase,
        EraseVForm,         FindAttachedList,    MatchesMarker,
        AttachSink,         DetachSink,          GetPlayerUpdateEventSource}) {
    if (offset < arrayStart || offset + 16 > arrayEnd) {
      std::fprintf(stderr,
                   "sim: the host image (RVA 0x%llx to 0x%llx) does not cover offset 0x%llx; "
                   "the simulator's code before it has grown too large\n",
                   static_cast<unsigned long long>(arrayStart),
                   static_cast<unsigned long long>(arrayEnd),
                   static_cast<unsigned long long>(offset));
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
