#include "ObjectFixture.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using ListsAndTimes = ObjectTest;

TDateTime at(int y, int m, int d, int h = 0, int mi = 0) { return EncodeDate(y, m, d) + EncodeTime(h, mi, 0); }

} // namespace

TEST_F(ListsAndTimes, ListHandleForwardsToTheOwner) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* owner = new Chose;
  auto* x = new Chose;
  auto* y = new Chose;
  MLISTE_Object_OCS list(*owner, "membres");
  list.Add(x);
  list.Add(x);
  list.Add(y);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0), x);
  list.Remove(owner); // not in the list: nothing changes
  EXPECT_EQ(list.Count(), 2);
  list.Remove(x);
  EXPECT_EQ(list.Items(), (ObjectList{y}));
  EXPECT_EQ(owner->ListCount("membres"), 1);
}

TEST_F(ListsAndTimes, DateAndTimePartsAreReplacedSeparately) {
  Storage::OpenBase(path("a.TSF"), {});
  Minfo_avec_temps info;
  EXPECT_EQ(info.EndDay(), 0);
  EXPECT_EQ(info.EndTimeOfDay(), 0);
  // Without a day first, the time lands on day 0.
  info.SetEndTimeOfDay(2.5 / 24);
  EXPECT_NEAR(info.EndDate(), 2.5 / 24, 1e-9);

  const TDateTime day = at(2002, 9, 5);
  info.SetStartDate(day);
  info.SetEndDay(day);
  info.SetEndTimeOfDay(2.5 / 24);
  EXPECT_NEAR(info.EndDate(), day + 2.5 / 24, 1e-9);
  EXPECT_NEAR(info.Duration(), 2.5 / 24, 1e-9);
  EXPECT_NEAR(info.EndTimeOfDay(), 2.5 / 24, 1e-9);

  info.SetStartDate(at(2002, 9, 5, 14));
  EXPECT_EQ(info.StartDay(), day);
  info.SetStartDay(at(2002, 9, 6));
  EXPECT_NEAR(info.StartDate(), at(2002, 9, 6, 14), 1e-9);

  struct Case {
    TDateTime value, time, expected;
  };
  const Case cases[] = {
      {10.75, 0.25, 10.25},
      {-2.5, 0.25, -2.25}, // before 30 December 1899 the fraction counts backwards
      {3.0, 1.5, 3.5},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ReplaceTimePart(c.value, c.time), c.expected);
  EXPECT_DOUBLE_EQ(ReplaceDatePart(10.75, 20), 20.75);
}
