#include "game/image.h"

#include "game/checks.h"
#include "game/offsets.h"
#include "seam.h"

namespace {

constexpr uint64_t ImageBytes = 0x6200000;
constexpr uint64_t JumpBytes = 12;

}  // namespace

// External linkage on purpose: the plugin reaches these bytes only through the load address,
// so an array private to this file, whose bytes no code here names, could be cut down or
// dropped by the optimiser. (A `used` attribute would become a linker directive ld rejects.)
extern "C" {
alignas(4096) unsigned char GameImage[ImageBytes];
}

unsigned char* GameAddress(uint64_t offset) {
  return static_cast<unsigned char*>(GlueProgramBase()) + offset;
}

bool CheckImageCoversEveryOffset() {
  const auto base = reinterpret_cast<uint64_t>(GlueProgramBase());
  const uint64_t start = reinterpret_cast<uint64_t>(GameImage) - base;
  const uint64_t end = start + ImageBytes;
  Line detail;
  detail.Add("the array spans RVA 0x").Hex(start).Add(" to 0x").Hex(end);
  bool covered = true;
  for (const uint64_t offset : GameOffset::All) {
    if (offset < start || offset + JumpBytes > end) {
      if (covered) detail.Add("; not covered:");
      covered = false;
      detail.Add(" 0x").Hex(offset);
    }
  }
  if (!covered) detail.Add(" (the program's code or data before the array has grown too large)");
  Check("Host image: the array covers every engine offset", covered, covered ? "" : detail.Text());
  return covered;
}

void InstallEngineJump(uint64_t offset, void (*entry)()) {
  unsigned char* at = GameAddress(offset);
  GlueMakeExecutable(at, JumpBytes);
  // movabs rax, entry; jmp rax
  const auto target = reinterpret_cast<uint64_t>(entry);
  at[0] = 0x48;
  at[1] = 0xB8;
  for (int i = 0; i < 8; ++i) at[2 + i] = static_cast<unsigned char>(target >> (8 * i));
  at[10] = 0xFF;
  at[11] = 0xE0;
}

void PutDataSlot(uint64_t offset, const void* value) {
  *reinterpret_cast<const void**>(GameAddress(offset)) = value;
}
