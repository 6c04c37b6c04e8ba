#include "foundation/ZEP_Dates.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <unordered_map>

namespace tessel {

namespace {

constexpr long long msPerDay = 86400000;
constexpr long long julianDayOfZero = 2415019; // 30 December 1899

struct NameTables {
  std::array<std::string, 7> dayLong, dayShort;
  std::array<std::string, 12> monthLong, monthShort;
};

std::optional<QLocale>& pinnedLocale() {
  static std::optional<QLocale> locale;
  return locale;
}

NameTables buildTables(const QLocale& locale) {
  NameTables t;
  for (int i = 0; i < 7; ++i) {
    t.dayLong[i] = toCp1252(locale.dayName(i + 1, QLocale::LongFormat));
    t.dayShort[i] = toCp1252(locale.dayName(i + 1, QLocale::ShortFormat));
  }
  for (int i = 0; i < 12; ++i) {
    t.monthLong[i] = toCp1252(locale.monthName(i + 1, QLocale::LongFormat));
    t.monthShort[i] = toCp1252(locale.monthName(i + 1, QLocale::ShortFormat));
  }
  return t;
}

NameTables& tables() {
  static NameTables t = buildTables(dateLocale());
  return t;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

[[noreturn]] void invalidDate(std::string_view text) {
  throw ConvertError(Message() + quoted(text) + " n'est pas une date correcte", std::string(text));
}

[[noreturn]] void invalidTime(std::string_view text) {
  throw ConvertError(Message() + quoted(text) + " n'est pas une heure correcte", std::string(text));
}

// Day count and milliseconds of the day, the time rounded to the millisecond;
// a time that rounds up to midnight belongs to the next day.
void split(TDateTime value, long long& day, long long& ms) {
  day = static_cast<long long>(std::trunc(value));
  ms = std::llround(std::fabs(value - std::trunc(value)) * static_cast<double>(msPerDay));
  if (ms >= msPerDay) {
    ms -= msPerDay;
    day += 1;
  }
}

TDateTime withTimeOf(double wholeDay, TDateTime timeSource) {
  const double time = std::fabs(timeSource - std::trunc(timeSource));
  return wholeDay >= 0 ? wholeDay + time : wholeDay - time;
}

std::string twoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

} // namespace

const QLocale& dateLocale() {
  static const QLocale system = QLocale::system();
  return pinnedLocale() ? *pinnedLocale() : system;
}

namespace {
int localeGeneration = 0;
}

void setDateLocale(const QLocale& locale) {
  pinnedLocale() = locale;
  tables() = buildTables(locale);
  ++localeGeneration;
}

const std::array<std::string, 7>& DayNamesLong() { return tables().dayLong; }
const std::array<std::string, 7>& DayNamesShort() { return tables().dayShort; }
const std::array<std::string, 12>& MonthNamesLong() { return tables().monthLong; }
const std::array<std::string, 12>& MonthNamesShort() { return tables().monthShort; }

bool LeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInYear(int year) { return LeapYear(year) ? 366 : 365; }

int DaysInMonth(int month, int year) {
  static constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return (month == 2 && LeapYear(year)) ? 29 : lengths[month - 1];
}

int WeekDayIndex(int day, int month, int year) {
  // Counted from Saturday 1 January 2000.
  long long s = 0;
  if (year >= 2000) {
    for (int y = 2000; y < year; ++y) s += DaysInYear(y);
    for (int m = 1; m < month; ++m) s += DaysInMonth(m, year);
    s += day - 1;
    return static_cast<int>(((s + 5) % 7 + 7) % 7);
  }
  s = DaysInMonth(month, year) - day + 1;
  for (int m = month + 1; m <= 12; ++m) s += DaysInMonth(m, year);
  for (int y = year + 1; y <= 1999; ++y) s += DaysInYear(y);
  return static_cast<int>(((5 - s) % 7 + 7) % 7);
}

TDateTime EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || !QDate::isValid(year, month, day)) {
    throw ConvertError(Message("Date incorrecte (") + std::to_string(day) + "/" + std::to_string(month) + "/" +
                           std::to_string(year) + ")",
                       std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year));
  }
  return static_cast<double>(QDate(year, month, day).toJulianDay() - julianDayOfZero);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
      millisecond < 0 || millisecond >= 1000) {
    const std::string text = std::to_string(hour) + ":" + twoDigits(minute) + ":" + twoDigits(second);
    invalidTime(text);
  }
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / msPerDay;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  long long dayCount = 0, ms = 0;
  split(value, dayCount, ms);
  const QDate date = QDate::fromJulianDay(dayCount + julianDayOfZero);
  year = date.year();
  month = date.month();
  day = date.day();
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  long long dayCount = 0, ms = 0;
  split(value, dayCount, ms);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

int DayNumber(TDateTime value) {
  long long dayCount = 0, ms = 0;
  split(value, dayCount, ms);
  return static_cast<int>(dayCount);
}

TDateTime Today() {
  return static_cast<double>(QDate::currentDate().toJulianDay() - julianDayOfZero);
}

TDateTime Now() {
  const QDateTime now = QDateTime::currentDateTime();
  return static_cast<double>(now.date().toJulianDay() - julianDayOfZero) +
         static_cast<double>(now.time().msecsSinceStartOfDay()) / msPerDay;
}

void AddToDate(int& day, int& month, int& year, int days, int months, int years) {
  int y = 0, m = 0, d = 0;
  DecodeDate(EncodeDate(year, month, day) + days, y, m, d);
  const long long total = static_cast<long long>(y) * 12 + (m - 1) + months + 12LL * years;
  y = static_cast<int>(total >= 0 ? total / 12 : (total - 11) / 12);
  m = static_cast<int>(total - static_cast<long long>(y) * 12) + 1;
  if (d > DaysInMonth(m, y)) d = DaysInMonth(m, y);
  day = d;
  month = m;
  year = y;
}

TDateTime DateAdd(int days, int months, int years, TDateTime date) {
  int y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  AddToDate(d, m, y, days, months, years);
  return withTimeOf(EncodeDate(y, m, d), date);
}

TDateTime MondayOf(TDateTime date) {
  int y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  double day = EncodeDate(y, m, d);
  day -= WeekDayIndex(d, m, y);
  return day;
}

std::string DateText(int day, int month, int year, bool longForm) {
  // Screens ask for the same few days over and over; formatting through the
  // locale costs far more than a lookup.
  struct Cache {
    int generation = -1;
    std::unordered_map<int, std::string> texts[2];
  };
  thread_local Cache cache;
  if (cache.generation != localeGeneration) cache = Cache{localeGeneration, {}};
  auto& texts = cache.texts[longForm ? 1 : 0];
  const int key = (year * 16 + month) * 32 + day;
  if (auto it = texts.find(key); it != texts.end()) return it->second;
  if (texts.size() >= 4096) texts.clear();
  const QString text =
      dateLocale().toString(QDate(year, month, day), longForm ? QLocale::LongFormat : QLocale::ShortFormat);
  return texts.emplace(key, toCp1252(text)).first->second;
}

std::string DateTextOf(bool longForm, TDateTime value) {
  int y = 0, m = 0, d = 0;
  DecodeDate(value, y, m, d);
  return DateText(d, m, y, longForm);
}

std::string ShortNamesDateText(int day, int month, int year, bool longForm) {
  QString format = dateLocale().dateFormat(longForm ? QLocale::LongFormat : QLocale::ShortFormat);
  format.replace(QLatin1String("dddd"), QLatin1String("ddd"));
  format.replace(QLatin1String("MMMM"), QLatin1String("MMM"));
  return toCp1252(dateLocale().toString(QDate(year, month, day), format));
}

std::string PeriodText(TDateTime first, TDateTime last, bool longForm, bool shortNames) {
  auto text = [&](TDateTime value) {
    int y = 0, m = 0, d = 0;
    DecodeDate(value, y, m, d);
    return shortNames ? ShortNamesDateText(d, m, y, longForm) : DateText(d, m, y, longForm);
  };
  const std::string a = text(first);
  const std::string b = text(last);
  switch (dateLocale().language()) {
  case QLocale::German:
    return "Vom " + a + " bis zum " + b;
  case QLocale::English:
    return "From " + a + " to " + b;
  case QLocale::French:
    return "Du " + a + " au " + b;
  default:
    return a + " - " + b;
  }
}

int TotalHours(TDateTime duration) {
  long long dayCount = 0, ms = 0;
  split(duration, dayCount, ms);
  return static_cast<int>(dayCount * 24 + ms / 3600000);
}

std::string DurationText(TDateTime duration) {
  int h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(duration, h, m, s, ms);
  return std::to_string(TotalHours(duration)) + ":" + twoDigits(m);
}

bool IsNonZeroDuration(std::string_view text) {
  const std::string_view t = trimBlanks(text);
  return !(t.empty() || t == ":" || t == "00:00" || t == "0:00");
}

std::string DateToText(TDateTime value) {
  if (value == 0) return "sys_undefined";
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(value, y, mo, d);
  DecodeTime(value, h, mi, s, ms);
  char buf[64];
  if (h == 0 && mi == 0 && s == 0 && ms == 0)
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, mo, y);
  else
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", d, mo, y, h, mi, s);
  return buf;
}

int TextToInt(std::string_view text) {
  const std::string_view t = trimBlanks(text);
  std::string_view digits = t;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int value = 0;
  const char* end = digits.data() + digits.size();
  auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || ec != std::errc() || ptr != end)
    throw ConvertError(Message() + quoted(text) + " n'est pas une valeur entière correcte"_w, std::string(text));
  return value;
}

TDateTime TextToTime(std::string_view text) {
  if (SameText(trimBlanks(text), "sys_undefined")) return 0;
  const std::size_t first = text.find(':');
  const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
  if (second == std::string_view::npos) invalidTime(text);
  try {
    const int h = TextToInt(text.substr(0, first));
    const int m = TextToInt(text.substr(first + 1, second - first - 1));
    const int s = TextToInt(text.substr(second + 1));
    return EncodeTime(h, m, s);
  } catch (const ConvertError&) {
    invalidTime(text);
  }
}

TDateTime TextToDate(std::string_view text) {
  if (SameText(text, "sys_undefined") || trimBlanks(text).empty()) return 0;
  const std::size_t slash1 = text.find('/');
  if (slash1 == std::string_view::npos) return TextToTime(text);
  const std::size_t slash2 = text.find('/', slash1 + 1);
  if (slash2 == std::string_view::npos) invalidDate(text);
  try {
    const int day = TextToInt(text.substr(0, slash1));
    const int month = TextToInt(text.substr(slash1 + 1, slash2 - slash1 - 1));
    std::string_view rest = text.substr(slash2 + 1);
    const std::size_t blank = rest.find(' ');
    TDateTime time = 0;
    if (blank != std::string_view::npos) {
      time = TextToTime(rest.substr(blank + 1));
      rest = rest.substr(0, blank);
    }
    const int year = TextToInt(rest);
    const TDateTime date = EncodeDate(year, month, day);
    return date >= 0 ? date + time : date - time;
  } catch (const ConvertError&) {
    invalidDate(text);
  }
}

} // namespace tessel
