#pragma once
// French public holidays: fixed ones and those that follow Easter.

#include <array>
#include <string>

namespace tessel {

struct DayMonth {
  int day = 0;
  int month = 0;
  bool operator==(const DayMonth&) const = default;
};

// Easter Sunday, Easter Monday, Ascension and Whit Monday of the year.
std::array<DayMonth, 4> EasterDates(int year);

// True, with the holiday's name (Windows-1252), when the day is a public holiday.
bool HolidayName(int day, int month, int year, std::string& name);

} // namespace tessel
