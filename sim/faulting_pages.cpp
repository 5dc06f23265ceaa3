#include "sim/faulting_pages.h"

#include <windows.h>

#include "sim/checked.h"

namespace sim {

unsigned char* NewBlock(std::size_t bytes) {
  // Large worlds allocate millions of forms: carve them out of big zeroed chunks.
  static unsigned char* chunk = nullptr;
  static std::size_t left = 0;
  bytes = (bytes + 15) & ~std::size_t{15};
  if (bytes > left) {
    const std::size_t chunkBytes = bytes > (64u << 20) ? bytes : (64u << 20);
    chunk = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, chunkBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    Require(chunk != nullptr, "VirtualAlloc of a chunk for game objects");
    left = chunkBytes;
  }
  unsigned char* block = chunk;
  chunk += bytes;
  left -= bytes;
  return block;
}

unsigned char* NewBlockFaultingAt(std::size_t faultAt) {
  constexpr std::size_t Page = 4096;
  auto* pages = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, 2 * Page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  Require(pages != nullptr, "VirtualAlloc of a faulting block");
  DWORD oldProtection = 0;
  Require(VirtualProtect(pages + Page, Page, PAGE_NOACCESS, &oldProtection) != 0,
          "VirtualProtect of a faulting block");
  return pages + Page - faultAt;
}

}  // namespace sim
