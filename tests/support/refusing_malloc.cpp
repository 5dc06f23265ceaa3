#include "tests/support/refusing_malloc.h"

#include <windows.h>

#include <cstddef>

#include "sim/import_patch.h"

namespace testing_support {
namespace {

int refusals = 0;
std::size_t refusedFrom = 0;
// Taken from the patch: &malloc here would name the import thunk, which is patched.
void* (*realMalloc)(std::size_t) = nullptr;

void* MaybeMalloc(std::size_t bytes) {
  if (refusals > 0 && bytes >= refusedFrom) {
    --refusals;
    return nullptr;
  }
  return realMalloc(bytes);
}

}  // namespace

RefusingMalloc::RefusingMalloc()
    : patch_(std::make_unique<ImportPatch>(GetModuleHandleW(nullptr), "msvcrt.dll", "malloc",
                                           reinterpret_cast<void*>(&MaybeMalloc))) {
  realMalloc = reinterpret_cast<void* (*)(std::size_t)>(patch_->Original());
  refusals = 0;
}

RefusingMalloc::~RefusingMalloc() {
  refusals = 0;
}

bool RefusingMalloc::Patched() const {
  return patch_->Patched();
}

void RefusingMalloc::RefuseNext(int count, std::size_t atLeast) {
  refusals = count;
  refusedFrom = atLeast;
}

}  // namespace testing_support
