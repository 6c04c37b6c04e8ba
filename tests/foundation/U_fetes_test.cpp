#include "foundation/Cp1252.h"
#include "foundation/U_fetes.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(Holidays, EasterDates) {
  struct Case {
    int year;
    std::array<DayMonth, 4> dates;
  };
  const Case cases[] = {
      {2002, {{{31, 3}, {1, 4}, {9, 5}, {20, 5}}}},
      {2049, {{{18, 4}, {19, 4}, {27, 5}, {7, 6}}}},
      {2076, {{{19, 4}, {20, 4}, {28, 5}, {8, 6}}}},
      {2026, {{{5, 4}, {6, 4}, {14, 5}, {25, 5}}}},
  };
  for (const Case& c : cases) EXPECT_EQ(EasterDates(c.year), c.dates) << c.year;
}

TEST(Holidays, HolidayName) {
  struct Case {
    int day, month, year;
    bool holiday;
    std::string name;
  };
  const Case cases[] = {
      {20, 5, 2002, true, std::string("Lundi de Pentecôte"_w)},
      {25, 12, 1987, true, std::string("Noël !"_w)},
      {1, 5, 2002, true, std::string("Fête du travail"_w)},
      {15, 8, 2030, true, "Assomption"},
      {31, 3, 2002, true, std::string("Pâques"_w)},
      {1, 4, 2002, true, std::string("Lundi de Pâques"_w)},
      {9, 5, 2002, true, "Ascension"},
      {2, 5, 2002, false, ""},
  };
  for (const Case& c : cases) {
    std::string name;
    EXPECT_EQ(HolidayName(c.day, c.month, c.year, name), c.holiday) << c.day << "/" << c.month;
    if (c.holiday) {
      EXPECT_EQ(name, c.name);
    }
  }
}
