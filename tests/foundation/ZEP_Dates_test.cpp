#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Dates.h"

#include <gtest/gtest.h>

using namespace tessel;

namespace {

TDateTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  return EncodeDate(y, m, d) + EncodeTime(h, mi, s);
}

} // namespace

TEST(Calendar, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(LeapYear(1900));
  EXPECT_TRUE(LeapYear(2000));
  EXPECT_TRUE(LeapYear(2004));
  EXPECT_FALSE(LeapYear(2002));
  EXPECT_EQ(DaysInYear(2000), 366);
  EXPECT_EQ(DaysInYear(1900), 365);
  EXPECT_EQ(DaysInMonth(2, 2004), 29);
  EXPECT_EQ(DaysInMonth(2, 1900), 28);
  EXPECT_EQ(DaysInMonth(12, 2002), 31);
  EXPECT_EQ(DaysInMonth(4, 2002), 30);
}

TEST(Calendar, WeekDayIndexOnBothSidesOf2000) {
  struct Case {
    int day, month, year, index;
  };
  const Case cases[] = {
      {1, 1, 2000, 5},  {31, 12, 1999, 4}, {5, 9, 2002, 3},  {1, 1, 1900, 0},
      {30, 12, 1899, 5}, {29, 2, 2004, 6}, {10, 12, 2026, 3}, {1, 3, 1600, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WeekDayIndex(c.day, c.month, c.year), c.index) << c.day << "/" << c.month << "/" << c.year;
    // The same answer as the calendar of the date-time numbers.
    EXPECT_EQ(WeekDayIndex(c.day, c.month, c.year),
              (static_cast<long long>(EncodeDate(c.year, c.month, c.day)) % 7 + 12) % 7);
  }
}

TEST(Calendar, MondayOfGoesBackToMondayAtMidnight) {
  EXPECT_EQ(MondayOf(at(2002, 9, 8)), at(2002, 9, 2));        // Sunday: six days back
  EXPECT_EQ(MondayOf(at(2002, 9, 2, 15)), at(2002, 9, 2));    // Monday 15:00
  EXPECT_EQ(MondayOf(at(2000, 1, 1)), at(1999, 12, 27));      // across a year
}

TEST(Calendar, DateAddClampsTheDayAndKeepsTheTime) {
  struct Case {
    int days, months, years;
    TDateTime from, expected;
  };
  const Case cases[] = {
      {0, 1, 0, at(2002, 1, 31), at(2002, 2, 28)},
      {0, 1, 0, at(2004, 1, 31), at(2004, 2, 29)},
      {1, 1, 0, at(2004, 1, 30), at(2004, 2, 29)},   // days first, then months
      {0, -1, 0, at(2002, 3, 31, 14, 30), at(2002, 2, 28, 14, 30)},
      {0, 13, 0, at(2002, 12, 15), at(2004, 1, 15)},
      {0, 0, -1, at(2004, 2, 29), at(2003, 2, 28)},
      {-1, 0, 0, at(2002, 1, 1, 8), at(2001, 12, 31, 8)},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(DateAdd(c.days, c.months, c.years, c.from), c.expected);

  int d = 31, m = 1, y = 2002;
  AddToDate(d, m, y, 0, 1, 0);
  EXPECT_EQ(d, 28);
  EXPECT_EQ(m, 2);
  EXPECT_EQ(y, 2002);
}

TEST(Durations, TotalHoursAndDurationText) {
  struct Case {
    TDateTime duration;
    int hours;
    const char* text;
  };
  const Case cases[] = {
      {0.5, 12, "12:00"},
      {1 + 12.0 / 24 + 5.0 / 1440, 36, "36:05"},
      {7.5 / 24, 7, "7:30"},
      {0, 0, "0:00"},
      {25.25 / 24, 25, "25:15"},
      {(7 * 60 + 29.9999999) / 1440.0, 7, "7:30"}, // rounding error does not lose a minute
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TotalHours(c.duration), c.hours);
    EXPECT_EQ(DurationText(c.duration), c.text);
  }
}

TEST(Durations, IsNonZeroDuration) {
  for (const char* zero : {"", "   ", ":", "00:00", "  00:00  ", "0:00"}) EXPECT_FALSE(IsNonZeroDuration(zero)) << zero;
  for (const char* nonZero : {"00:01", "1:00", "abc"}) EXPECT_TRUE(IsNonZeroDuration(nonZero)) << nonZero;
}

TEST(StoredDateText, WritesTheThreeForms) {
  EXPECT_EQ(DateToText(0), "sys_undefined");
  EXPECT_EQ(DateToText(at(2002, 9, 5)), "05/09/2002");
  EXPECT_EQ(DateToText(at(2002, 9, 5, 2, 30)), "05/09/2002 02:30:00");
  EXPECT_EQ(DateToText(at(1999, 12, 31, 23, 59, 59)), "31/12/1999 23:59:59");
}

TEST(StoredDateText, ReadsBackToTheSecond) {
  for (TDateTime v : {at(2002, 9, 5, 2, 30), at(2002, 9, 5), at(1950, 1, 1, 0, 0, 1), at(2026, 12, 10, 23, 59, 59)}) {
    EXPECT_NEAR(TextToDate(DateToText(v)), v, 0.5 / 86400) << DateToText(v);
  }
  EXPECT_EQ(TextToDate("sys_undefined"), 0);
  EXPECT_EQ(TextToDate("SYS_UNDEFINED"), 0);
  EXPECT_EQ(TextToDate("   "), 0);
  EXPECT_NEAR(TextToDate("02:30:00"), 2.5 / 24, 1e-9);  // no slash: a time
  EXPECT_NEAR(TextToTime("12:05:30"), (12 * 3600 + 5 * 60 + 30) / 86400.0, 1e-12);
  EXPECT_EQ(TextToTime("sys_undefined"), 0);
}

TEST(StoredDateText, ConversionErrorsCarryTheText) {
  struct Case {
    const char* text;
    bool isDate;
  };
  const Case cases[] = {
      {"31/02/2002", true}, {"05/13/2002", true}, {"aa/09/2002", true}, {"05/09", true},
      {"05/09/2002 25:00:00", true}, {"12:30", false}, {"24:00:00", false}, {"12:75:00", false},
      {"x:y:z", false},
  };
  for (const Case& c : cases) {
    try {
      if (c.isDate)
        TextToDate(c.text);
      else
        TextToTime(c.text);
      ADD_FAILURE() << c.text << " was accepted";
    } catch (const ConvertError& e) {
      EXPECT_EQ(e.text(), c.text);
      EXPECT_NE(std::string(e.what()).find(c.text), std::string::npos);
    }
  }
  EXPECT_THROW(TextToInt("12abc"), ConvertError);
  EXPECT_EQ(TextToInt(" -42 "), -42);
}

TEST(LocaleTexts, FrenchNamesAndFormats) {
  EXPECT_EQ(DayNamesLong()[0], "lundi");
  EXPECT_EQ(DayNamesLong()[6], "dimanche");
  EXPECT_EQ(MonthNamesLong()[7], "août"_w);
  EXPECT_EQ(MonthNamesLong()[1], "février"_w);
  EXPECT_EQ(DateText(5, 9, 2002, false), "05/09/2002");
  EXPECT_EQ(DateText(5, 9, 2002, true), "jeudi 5 septembre 2002");
  EXPECT_EQ(DateTextOf(true, at(2002, 9, 5, 10)), "jeudi 5 septembre 2002");
  EXPECT_EQ(ShortNamesDateText(5, 9, 2002, true), "jeu. 5 sept. 2002");
  EXPECT_EQ(PeriodText(at(2002, 9, 2), at(2002, 9, 8), true, false),
            "Du lundi 2 septembre 2002 au dimanche 8 septembre 2002");
  EXPECT_EQ(PeriodText(at(2002, 9, 2), at(2002, 9, 8), false, false), "Du 02/09/2002 au 08/09/2002");
}

TEST(LocaleTexts, DateTextsFollowALocaleChange) {
  EXPECT_EQ(DateText(5, 9, 2002, true), "jeudi 5 septembre 2002");
  setDateLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
  EXPECT_NE(DateText(5, 9, 2002, true).find("September"), std::string::npos);
  setDateLocale(QLocale(QLocale::French, QLocale::France));
  EXPECT_EQ(DateText(5, 9, 2002, true), "jeudi 5 septembre 2002");
}

TEST(LocaleTexts, PeriodTextFollowsTheLocaleLanguage) {
  struct Case {
    QLocale locale;
    std::string prefix, middle;
  };
  const Case cases[] = {
      {QLocale(QLocale::German, QLocale::Germany), "Vom ", " bis zum "},
      {QLocale(QLocale::English, QLocale::UnitedKingdom), "From ", " to "},
      {QLocale(QLocale::Italian, QLocale::Italy), "", " - "},
  };
  for (const Case& c : cases) {
    setDateLocale(c.locale);
    const std::string text = PeriodText(at(2002, 9, 2), at(2002, 9, 8), false, false);
    EXPECT_EQ(text.rfind(c.prefix, 0), 0u) << text;
    EXPECT_NE(text.find(c.middle), std::string::npos) << text;
  }
  setDateLocale(QLocale(QLocale::French, QLocale::France));
}
