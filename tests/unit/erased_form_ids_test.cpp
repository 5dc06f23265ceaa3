#include "cleaner/erased_form_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>

#include "tests/support/refusing_malloc.h"

using testing_support::RefusingMalloc;

namespace {

ErasedForm K(std::uint32_t formId) {
  return {formId, ErasedType::K, false, false};
}

TEST(ErasedFormIdRecord, AnswersMembershipAndKeepsWalkOrder) {
  ErasedFormIdRecord record;
  ASSERT_TRUE(record.ReserveMembership() && record.ReserveWalkOrder());
  EXPECT_FALSE(record.Contains(0xFF000001));
  std::vector<ErasedForm> appended;
  std::mt19937 random(1234);
  for (int i = 0; i < 300000; ++i) {
    // Run-time ids across the whole 24-bit range (the only ones a pass erases); every kind.
    const std::uint32_t formId = 0xFF000000u | (random() & 0x00FFFFFF);
    if (record.Contains(formId)) continue;
    const ErasedForm form{formId, static_cast<ErasedType>(i % 3), i % 3 == 2 && i % 7 == 0,
                          i % 11 == 0};
    EXPECT_TRUE(record.Append(form));
    appended.push_back(form);
  }
  EXPECT_TRUE(std::ranges::equal(record.OfPass().forms, appended));
  for (const ErasedForm& form : appended) {
    ASSERT_TRUE(record.Contains(form.formId));
    // The same low bits under another top byte name another form, never erased.
    ASSERT_FALSE(record.Contains(form.formId & 0x00FFFFFF));
    ASSERT_FALSE(record.Contains((form.formId & 0x00FFFFFF) | 0xFE000000u));
  }
}

// Run-time ids share the membership bitmap with their neighbours: a record of some ids must
// answer false for every id beside them, in the same 64-bit word and in the words around it.
TEST(ErasedFormIdRecord, NoFalsePositivesBesideRecordedRuntimeIds) {
  ErasedFormIdRecord record;
  ASSERT_TRUE(record.ReserveMembership());
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

// The room is taken at the armed start: without the membership's, nothing is a member (and no
// pass runs); a walk order with less room records forms up to it, and only the list stops.
TEST(ErasedFormIdRecord, TheRoomIsTakenAtTheStartAndAFullWalkOrderStopsOnlyTheList) {
  RefusingMalloc malloc;
  ASSERT_TRUE(malloc.Patched());
  ErasedFormIdRecord record;
  RefusingMalloc::RefuseNext(1, 65536);
  EXPECT_FALSE(record.ReserveMembership());
  EXPECT_FALSE(record.HasMembership());
  EXPECT_FALSE(record.Contains(0xFF000001));
  ASSERT_TRUE(record.ReserveMembership());
  RefusingMalloc::RefuseNext(8, 65536);  // 8 MiB, then every half down to 64 KiB
  ASSERT_TRUE(record.ReserveWalkOrder());
  RefusingMalloc::Stop();
  const std::uint32_t room = 4096;
  for (std::uint32_t i = 1; i <= room + 10; ++i) {
    EXPECT_EQ(record.Append(K(0xFF000000u | i)), i <= room) << i;
  }
  for (std::uint32_t i = 1; i <= room + 10; ++i) ASSERT_TRUE(record.Contains(0xFF000000u | i));
  const ErasedFormsOfPass first = record.OfPass();
  EXPECT_EQ(first.forms.size(), room);
  EXPECT_FALSE(first.complete);
  EXPECT_EQ(first.firstUnrecordedFormId, 0xFF000000u | (room + 1));
  // The next pass's section starts empty and says where its own list stops.
  record.StartPass();
  EXPECT_TRUE(record.OfPass().forms.empty());
  EXPECT_TRUE(record.OfPass().complete);
  EXPECT_FALSE(record.Append(K(0xFF00F000u)));
  EXPECT_FALSE(record.OfPass().complete);
  EXPECT_EQ(record.OfPass().firstUnrecordedFormId, 0xFF00F000u);
  EXPECT_TRUE(record.Contains(0xFF00F000u));
}

}  // namespace
