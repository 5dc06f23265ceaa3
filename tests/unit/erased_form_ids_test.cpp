#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <random>

#include "cleaner/erased_form_ids.h"
#include "sim/import_patch.h"

namespace {

TEST(ErasedFormIdRecord, AnswersMembershipAndKeepsWalkOrder) {
  ErasedFormIdRecord record;
  EXPECT_FALSE(record.Contains(0xFF000001));
  std::vector<std::uint32_t> appended;
  std::mt19937 random(1234);
  for (int i = 0; i < 300000; ++i) {
    // Ids that share their low bits, or differ only above them, must not collide wrongly.
    const std::uint32_t formId = 0xFF000000u | ((i % 2) ? (i << 8) : i) | (random() & 0x80);
    if (record.Contains(formId)) continue;
    record.Append(formId);
    appended.push_back(formId);
  }
  EXPECT_EQ(record.InWalkOrder(), appended);
  for (const std::uint32_t formId : appended) ASSERT_TRUE(record.Contains(formId));
  EXPECT_FALSE(record.Contains(0xFE000001));
  EXPECT_FALSE(record.Contains(0));
}

int refuseMallocs = 0;  // the next this many allocations fail
// Set from the patch: taking &malloc here would name the import thunk, now patched.
void* (*realMalloc)(std::size_t) = nullptr;
void* RefusingMalloc(std::size_t bytes) {
  if (refuseMallocs > 0) {
    --refuseMallocs;
    return nullptr;
  }
  return realMalloc(bytes);
}

TEST(ErasedFormIdRecord, OutOfMemoryLeavesTheRecordUnchanged) {
  ErasedFormIdRecord record;
  for (std::uint32_t i = 1; i <= 512; ++i) record.Append(0xFF000000u | i);  // index full at 512
  ImportPatch malloc(GetModuleHandleW(nullptr), "msvcrt.dll", "malloc",
                     reinterpret_cast<void*>(&RefusingMalloc));
  ASSERT_TRUE(malloc.Patched());
  realMalloc = reinterpret_cast<void* (*)(std::size_t)>(malloc.Original());
  int refused = 0;
  for (std::uint32_t i = 513; i <= 5000; ++i) {
    refuseMallocs = 1;
    try {
      record.Append(0xFF000000u | i);
    } catch (const std::bad_alloc&) {
      ++refused;
      refuseMallocs = 0;
      EXPECT_FALSE(record.Contains(0xFF000000u | i));
      EXPECT_EQ(record.InWalkOrder().size(), i - 1);
      record.Append(0xFF000000u | i);  // with memory back, the same append goes through
    }
    refuseMallocs = 0;
  }
  EXPECT_GT(refused, 0);
  EXPECT_EQ(record.InWalkOrder().size(), 5000u);
  for (std::uint32_t i = 1; i <= 5000; ++i) ASSERT_TRUE(record.Contains(0xFF000000u | i));
}

}  // namespace
