#pragma once
// Calendar arithmetic, date and duration texts, and the stored text form of
// date-times. A date-time counts days from 30 December 1899; the fraction is
// the time of day (one hour is 1/24). Durations use the same unit.

#include <QLocale>

#include <array>
#include <string>
#include <string_view>

namespace tessel {

using TDateTime = double;

// Locale of the day and month names and of the short and long date formats.
// The system locale until something else is pinned (tests and the CLI pin French).
const QLocale& dateLocale();
void setDateLocale(const QLocale& locale);

// Name tables, Monday first, Windows-1252.
const std::array<std::string, 7>& DayNamesLong();
const std::array<std::string, 7>& DayNamesShort();
const std::array<std::string, 12>& MonthNamesLong();
const std::array<std::string, 12>& MonthNamesShort();

bool LeapYear(int year);
int DaysInYear(int year);
int DaysInMonth(int month, int year);
// 0 Monday ... 6 Sunday.
int WeekDayIndex(int day, int month, int year);
void AddToDate(int& day, int& month, int& year, int days, int months, int years);
TDateTime DateAdd(int days, int months, int years, TDateTime date);
// The Monday on or before the date, at 00:00.
TDateTime MondayOf(TDateTime date);

// Building and taking apart date-times. EncodeDate and EncodeTime raise
// ConvertError for impossible values.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);
// Whole days of a date-time, rounded to the millisecond like DecodeTime.
int DayNumber(TDateTime value);
TDateTime Today();
TDateTime Now();

std::string DateText(int day, int month, int year, bool longForm);
std::string DateTextOf(bool longForm, TDateTime value);
std::string ShortNamesDateText(int day, int month, int year, bool longForm);
std::string PeriodText(TDateTime first, TDateTime last, bool longForm, bool shortNames);

int TotalHours(TDateTime duration);
std::string DurationText(TDateTime duration);
bool IsNonZeroDuration(std::string_view text);

// Stored form: "sys_undefined", "dd/mm/yyyy" or "dd/mm/yyyy hh:mm:ss".
std::string DateToText(TDateTime value);
TDateTime TextToDate(std::string_view text);
TDateTime TextToTime(std::string_view text);

// Decimal integer as the stored texts write it; ConvertError otherwise.
int TextToInt(std::string_view text);

} // namespace tessel
