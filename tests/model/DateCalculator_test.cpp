#include "foundation/Cp1252.h"
#include "model/DateCalculator.h"

#include <gtest/gtest.h>

#include <climits>

using namespace tessel;

namespace {

TDateTime day(int y, int m, int d) { return EncodeDate(y, m, d); }

std::string text(const std::optional<TDateTime>& value) {
  if (!value) return "hors calendrier";
  int y = 0, m = 0, d = 0;
  DecodeDate(*value, y, m, d);
  return std::to_string(d) + "/" + std::to_string(m) + "/" + std::to_string(y);
}

} // namespace

TEST(DateCalculator, MovesTheOriginByTheCountInTheUnit) {
  struct Case {
    TDateTime origin;
    long long count;
    CalendarUnit unit;
    std::string expected;
  };
  using enum CalendarUnit;
  const Case cases[] = {
      {day(2002, 1, 31), 1, Months, "28/2/2002"},    // lowered to the month's last day
      {day(2004, 1, 31), 1, Months, "29/2/2004"},
      {day(2004, 2, 29), 1, Years, "28/2/2005"},
      {day(2004, 2, 29), 4, Years, "29/2/2008"},
      {day(2002, 3, 15), -2, Weeks, "1/3/2002"},
      {day(2002, 3, 15), 0, Days, "15/3/2002"},
      {day(2002, 3, 1), -1, Days, "28/2/2002"},
      {day(2002, 12, 31), 1, Days, "1/1/2003"},
      {day(2002, 5, 31), 1, Quarters, "31/8/2002"},
      {day(2002, 8, 31), 1, HalfYears, "28/2/2003"},
      {day(2002, 3, 31), -1, Months, "28/2/2002"},
      {day(2002, 1, 15), -13, Months, "15/12/2000"},
      {day(2002, 1, 15), -3, Quarters, "15/4/2001"},
      {day(9999, 12, 31), 1, Days, "hors calendrier"},
      {day(1, 1, 1), -1, Days, "hors calendrier"},
      {day(9999, 7, 1), 1, HalfYears, "hors calendrier"},
      {day(9999, 6, 30), 1, HalfYears, "30/12/9999"},
      {day(2002, 1, 1), 7997, Years, "1/1/9999"},
      {day(2002, 1, 1), INT_MAX, Weeks, "hors calendrier"}, // no overflow on the way
      {day(2002, 1, 1), INT_MIN, Years, "hors calendrier"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(text(MovedDate(c.origin, c.count, c.unit)), c.expected)
        << text(c.origin) << ' ' << c.count << ' ' << static_cast<int>(c.unit);
  // The time of day of the origin is not carried over.
  EXPECT_EQ(MovedDate(day(2002, 3, 15) + 0.75, 1, Days), day(2002, 3, 16));
}

TEST(DateCalculator, CountsSignedWholeDays) {
  EXPECT_EQ(DayDifference(day(2002, 3, 15), day(2002, 3, 15)), 0);
  EXPECT_EQ(DayDifference(day(2002, 3, 15), day(2002, 3, 14)), -1);
  EXPECT_EQ(DayDifference(day(2002, 3, 15) + 0.9, day(2002, 3, 16) + 0.1), 1);
  EXPECT_EQ(DayDifference(day(2002, 1, 1), day(2003, 1, 1)), 365);
  EXPECT_EQ(DayDifference(day(1, 1, 1), day(9999, 12, 31)), 3652058);
}

TEST(DateCalculator, OffersTheSixUnitsInOrder) {
  std::vector<std::string_view> captions;
  for (const auto& u : CalendarUnits()) captions.push_back(u.caption);
  EXPECT_EQ(captions,
            (std::vector<std::string_view>{"Jour(s)", "Semaine(s)", "Mois", "Trimestre(s)", "Semestre(s)", "Année(s)"_w}));
  EXPECT_EQ(CalendarUnits()[2].unit, CalendarUnit::Months);
}
