#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Liste.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(MListe, RemoveAtDropsTheFirstOccurrenceOfTheReferenceAtThatIndex) {
  int a = 0, b = 0;
  MListe<int> list;
  list.Add(&a);
  list.Add(&b);
  list.Add(&a);
  list.RemoveAt(2);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0), &b);
  EXPECT_EQ(list.Item(1), &a);
}

TEST(MListe, IndexOutsideTheListIsAListIndexError) {
  int a = 0;
  MListe<int> list;
  list.Add(&a);
  EXPECT_THROW(list.Item(1), ListIndexError);
  EXPECT_THROW(list.Item(-1), ListIndexError);
  EXPECT_THROW(list.RemoveAt(3), ListIndexError);
  EXPECT_THROW(MListe<int>().Last(), ListIndexError);
}

TEST(MListe, InsertFirstIntoASortedListWarnsAndLeavesItUnchanged) {
  test::RecordingPrompts prompts;
  int a = 0, b = 0;
  MListe<int> sorted(true);
  sorted.Add(&a);
  sorted.InsertFirst(&b);
  ASSERT_EQ(sorted.Count(), 1);
  EXPECT_EQ(sorted.Item(0), &a);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, test::RecordingPrompts::Kind::Warning);
  EXPECT_EQ(prompts.shown[0].text, "Tentative d'insertion dans une liste triée"_w);

  MListe<int> plain;
  plain.Add(&a);
  plain.InsertFirst(&b);
  EXPECT_EQ(plain.Item(0), &b);
  EXPECT_EQ(prompts.shown.size(), 1u);
}
