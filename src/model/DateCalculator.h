#pragma once
// The date arithmetic of the time calculator: an origin moved by a count of
// days, weeks, months, quarters, half-years or years, and the number of days
// between two dates.

#include "foundation/ZEP_Dates.h"

#include <array>
#include <optional>
#include <string_view>

namespace tessel {

enum class CalendarUnit { Days, Weeks, Months, Quarters, HalfYears, Years };

// The units in the order the calculator offers them, with their captions
// (Windows-1252).
struct CalendarUnitCaption {
  CalendarUnit unit;
  std::string_view caption;
};
const std::array<CalendarUnitCaption, 6>& CalendarUnits();

// The origin's day moved by `count` units, backwards for a negative count.
// Months are added calendar-wise: the day of the month stays, lowered to the
// last day of a shorter target month. None when the result falls outside the
// years 1 to 9999.
std::optional<TDateTime> MovedDate(TDateTime origin, long long count, CalendarUnit unit);

// Whole days from the origin's day to the second date's day, signed.
long long DayDifference(TDateTime origin, TDateTime second);

} // namespace tessel
