#include "model/DateCalculator.h"

#include "foundation/Cp1252.h"

#include <cstdlib>

namespace tessel {

const std::array<CalendarUnitCaption, 6>& CalendarUnits() {
  static const std::array<CalendarUnitCaption, 6> units{{
      {CalendarUnit::Days, "Jour(s)"_w},
      {CalendarUnit::Weeks, "Semaine(s)"_w},
      {CalendarUnit::Months, "Mois"_w},
      {CalendarUnit::Quarters, "Trimestre(s)"_w},
      {CalendarUnit::HalfYears, "Semestre(s)"_w},
      {CalendarUnit::Years, "Année(s)"_w},
  }};
  return units;
}

std::optional<TDateTime> MovedDate(TDateTime origin, long long count, CalendarUnit unit) {
  long long days = 0, months = 0;
  switch (unit) {
  case CalendarUnit::Days: days = count; break;
  case CalendarUnit::Weeks: days = 7 * count; break;
  case CalendarUnit::Months: months = count; break;
  case CalendarUnit::Quarters: months = 3 * count; break;
  case CalendarUnit::HalfYears: months = 6 * count; break;
  case CalendarUnit::Years: months = 12 * count; break;
  }
  // The calendar spans fewer than 3 700 000 days and 120 000 months: larger
  // moves leave it whatever the origin, and would overflow the arithmetic.
  if (std::llabs(days) > 3'700'000 || std::llabs(months) > 120'000) return std::nullopt;
  int year = 0, month = 0, day = 0;
  DecodeDate(origin, year, month, day);
  AddToDate(day, month, year, static_cast<int>(days), static_cast<int>(months), 0);
  if (year < 1 || year > 9999) return std::nullopt;
  return EncodeDate(year, month, day);
}

long long DayDifference(TDateTime origin, TDateTime second) {
  return static_cast<long long>(DayNumber(second)) - DayNumber(origin);
}

} // namespace tessel
