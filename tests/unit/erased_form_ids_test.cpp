#include "cleaner/erased_form_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <new>
#include <random>

#include "tests/support/refusing_malloc.h"

using testing_support::RefusingMalloc;

namespace {

ErasedForm K(std::uint32_t formId) {
  return {formId, ErasedType::K, false, false};
}

TEST(ErasedFormIdRecord, AnswersMembershipAndKeepsWalkOrder) {
  ErasedFormIdRecord record;
  EXPECT_FALSE(record.Contains(0xFF000001));
  std::vector<ErasedForm> appended;
  std::mt19937 random(1234);
  for (int i = 0; i < 300000; ++i) {
    // Run-time ids across the whole 24-bit range, and loaded ids beside them; every kind.
    const std::uint32_t low = (random() & 0x00FFFFFF);
    const std::uint32_t formId = (i % 5 == 0) ? (0x00000000u | low) : (0xFF000000u | low);
    if (record.Contains(formId)) continue;
    const ErasedForm form{formId, static_cast<ErasedType>(i % 3), i % 3 == 2 && i % 7 == 0,
                          i % 11 == 0};
    record.Append(form);
    appended.push_back(form);
  }
  EXPECT_EQ(record.InWalkOrder(), appended);
  for (const ErasedForm& form : appended) ASSERT_TRUE(record.Contains(form.formId));
  int falsePositives = 0;
  for (int i = 0; i < 100000; ++i) {
    const std::uint32_t formId = 0xFE000000u | (random() & 0x00FFFFFF);
    falsePositives += record.Contains(formId);
  }
  EXPECT_EQ(falsePositives, 0);
  EXPECT_FALSE(record.Contains(0xFF000000u | 0x00FFFFFF) &&
               std::find(appended.begin(), appended.end(), K(0xFFFFFFFFu)) == appended.end());
}

// Run-time ids share the membership bitmap with their neighbours: a record of some ids must
// answer false for every id beside them, in the same 64-bit word and in the words around it.
TEST(ErasedFormIdRecord, NoFalsePositivesBesideRecordedRuntimeIds) {
  ErasedFormIdRecord record;
  std::vector<std::uint32_t> recorded;
  std::mt19937 random(99);
  for (std::uint32_t low = 5; low < 0x00FFFF00; low += 150 + random() % 5000) {
    recorded.push_back(0xFF000000u | low);
    record.Append(K(recorded.back()));
  }
  recorded.push_back(0xFFFFFFFFu);  // the last run-time id
  record.Append(K(0xFFFFFFFFu));
  int falsePositives = 0, probes = 0;
  for (const std::uint32_t formId : recorded) {
    for (int delta = -140; delta <= 140; ++delta) {
      const std::uint32_t probe = formId + static_cast<std::uint32_t>(delta);
      if (delta == 0 || (probe >> 24) != 0xFF) continue;
      ++probes;
      falsePositives += record.Contains(probe);
    }
    ASSERT_TRUE(record.Contains(formId));
  }
  EXPECT_GT(probes, 500000);
  EXPECT_EQ(falsePositives, 0);
}

TEST(ErasedFormIdRecord, OutOfMemoryLeavesTheRecordUnchanged) {
  ErasedFormIdRecord record;
  for (std::uint32_t i = 1; i <= 512; ++i) record.Append(K(0xFF000000u | i));
  RefusingMalloc malloc;
  ASSERT_TRUE(malloc.Patched());
  int refused = 0;
  for (std::uint32_t i = 513; i <= 5000; ++i) {
    RefusingMalloc::RefuseNext(1);
    try {
      record.Append(K(0xFF000000u | i));
    } catch (const std::bad_alloc&) {
      ++refused;
      RefusingMalloc::Stop();
      EXPECT_FALSE(record.Contains(0xFF000000u | i));
      EXPECT_EQ(record.InWalkOrder().size(), i - 1);
      record.Append(K(0xFF000000u | i));  // with memory back, the same append goes through
    }
    RefusingMalloc::Stop();
  }
  EXPECT_GT(refused, 0);
  EXPECT_EQ(record.InWalkOrder().size(), 5000u);
  for (std::uint32_t i = 1; i <= 5000; ++i) ASSERT_TRUE(record.Contains(0xFF000000u | i));
  // A loaded FormId too (the pass never erases one, but the record must still hold it).
  RefusingMalloc::RefuseNext(1);
  EXPECT_THROW(record.Append(K(0x00001234)), std::bad_alloc);
  RefusingMalloc::Stop();
  EXPECT_FALSE(record.Contains(0x00001234));
  record.Append(K(0x00001234));
  EXPECT_TRUE(record.Contains(0x00001234));
}

}  // namespace
