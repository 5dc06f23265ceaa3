#include "sim/faulting_pages.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "sim/checked.h"

namespace sim {
namespace {

constexpr std::size_t Page = 4096;
constexpr std::size_t ChunkBytes = 64u << 20;

// Large worlds allocate millions of forms: blocks are carved out of big zeroed chunks.
struct Chunk {
  unsigned char* start;
  std::size_t bytes;
  std::size_t used;
};
std::vector<Chunk> chunks;
std::size_t currentChunk = 0;

// Faulting blocks: two pages each, the second one unreadable; handed out again after a
// release, so that a process building table after table stays within the system's limit on
// memory mappings.
std::vector<unsigned char*> faultingPages;
std::size_t faultingInUse = 0;

}  // namespace

unsigned char* NewBlock(std::size_t bytes) {
  bytes = (bytes + 15) & ~std::size_t{15};
  while (currentChunk < chunks.size() &&
         chunks[currentChunk].used + bytes > chunks[currentChunk].bytes) {
    ++currentChunk;
  }
  if (currentChunk == chunks.size()) {
    const std::size_t chunkBytes = bytes > ChunkBytes ? bytes : ChunkBytes;
    auto* start = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, chunkBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    Require(start != nullptr, "VirtualAlloc of a chunk for game objects");
    chunks.push_back({start, chunkBytes, 0});
  }
  Chunk& chunk = chunks[currentChunk];
  unsigned char* block = chunk.start + chunk.used;
  chunk.used += bytes;
  return block;
}

unsigned char* NewBlockFaultingAt(std::size_t faultAt) {
  if (faultingInUse == faultingPages.size()) {
    auto* pages = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, 2 * Page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    Require(pages != nullptr, "VirtualAlloc of a faulting block");
    DWORD oldProtection = 0;
    Require(VirtualProtect(pages + Page, Page, PAGE_NOACCESS, &oldProtection) != 0,
            "VirtualProtect of a faulting block");
    faultingPages.push_back(pages);
  }
  unsigned char* pages = faultingPages[faultingInUse++];
  std::memset(pages, 0, Page);
  return pages + Page - faultAt;
}

void ReleaseAllBlocks() {
  for (Chunk& chunk : chunks) {
    std::memset(chunk.start, 0, chunk.used);
    chunk.used = 0;
  }
  currentChunk = 0;
  faultingInUse = 0;
}

}  // namespace sim
