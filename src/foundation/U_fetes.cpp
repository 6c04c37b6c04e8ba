#include "foundation/U_fetes.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"

#include <string_view>

namespace tessel {

namespace {

struct FixedHoliday {
  int day;
  int month;
  std::string_view name;
};

constexpr FixedHoliday fixedHolidays[] = {
    {1, 1, "Nouvel An"_w},        {1, 5, "Fête du travail"_w}, {8, 5, "Armistice 39-45"_w},
    {14, 7, "Fête Nationale"_w},  {1, 11, "Toussaint"_w},      {11, 11, "Armistice 14-18"_w},
    {25, 12, "Noël !"_w},         {15, 8, "Assomption"_w},
};

constexpr std::string_view movableNames[] = {"Pâques"_w, "Lundi de Pâques"_w, "Ascension"_w,
                                             "Lundi de Pentecôte"_w};

DayMonth plusDays(DayMonth date, int year, int days) {
  int d = date.day, m = date.month, y = year;
  AddToDate(d, m, y, days, 0, 0);
  return {d, m};
}

} // namespace

std::array<DayMonth, 4> EasterDates(int year) {
  // Gauss's method, valid for 1900-2099.
  const int a = year % 19;
  const int d = (19 * a + 24) % 30;
  const int e = (2 * (year % 4) + 4 * (year % 7) + 6 * d + 5) % 7;
  DayMonth easter = d + e <= 9 ? DayMonth{22 + d + e, 3} : DayMonth{d + e - 9, 4};
  if (easter == DayMonth{26, 4}) easter = {19, 4};
  else if (easter == DayMonth{25, 4} && d == 28 && e == 6) easter = {18, 4};
  const DayMonth monday = plusDays(easter, year, 1);
  const DayMonth ascension = plusDays(monday, year, 38);
  const DayMonth whitMonday = plusDays(ascension, year, 11);
  return {easter, monday, ascension, whitMonday};
}

bool HolidayName(int day, int month, int year, std::string& name) {
  for (const FixedHoliday& h : fixedHolidays) {
    if (h.day == day && h.month == month) {
      name = h.name;
      return true;
    }
  }
  const auto movable = EasterDates(year);
  for (std::size_t i = 0; i < movable.size(); ++i) {
    if (movable[i] == DayMonth{day, month}) {
      name = movableNames[i];
      return true;
    }
  }
  return false;
}

} // namespace tessel
