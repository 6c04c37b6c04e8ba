#pragma once
// About a month of recorded time without its widgets: the activities that
// have entries between the start day and the end day as rows, 31 day columns
// from the start day, the totals, and the bar-chart figures by day, by week or
// for the whole period. The period view shows it; the command-line tool
// prints it.

#include "foundation/ZEP_Dates.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

class MObject_OCS;
class Mcategorie;
class Moccurence;

class PeriodGrid {
public:
  static constexpr int days = 31;
  enum class ChartMode { Day = 0, Week = 1, Month = 2 };

  // The day before `start`, moved forward one calendar month (the day of the
  // month lowered to the month's last day when needed).
  static TDateTime EndDayOf(TDateTime start);

  void load(TDateTime start);
  // No rows any more (the document's objects are going); the days stay.
  void clear();
  TDateTime start() const { return start_; }
  TDateTime end() const { return end_; }
  // "Du <long start day> au <long end day>".
  std::string title() const { return TitleOf(start_); }
  static std::string TitleOf(TDateTime start);
  // Whether the day column lies after the end day: such columns stay empty.
  bool beyondEnd(int day) const { return start_ + day > end_; }

  int rowCount() const { return static_cast<int>(rows_.size()); }
  MObject_OCS* activity(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  // What the row shows: its category's name and colour, or for an owner bound
  // to no category its display text on white.
  Mcategorie* category(int row) const;
  std::string name(int row) const;
  std::uint32_t colour(int row) const;
  Moccurence* entry(int row, int day) const {
    return cells_.at(static_cast<std::size_t>(row) * days + static_cast<std::size_t>(day));
  }

  TDateTime rowTotal(int row) const;
  TDateTime dayTotal(int day) const;
  TDateTime total() const;

  // The chart counts whole hours: the hours of the cell's time, minutes dropped.
  int hours(int row, int day) const;
  // One point per day (31), per seven days (4: the last three days are not
  // plotted) or for the whole period (1).
  std::vector<int> chartValues(int row, ChartMode mode) const;
  std::vector<std::string> chartLabels(ChartMode mode) const;

  // The six moves of the navigation bar, from "-1 mois" to "+1 mois".
  struct Move {
    const char* caption;
    int days;
    int months;
  };
  static const std::array<Move, 6>& moves();
  static TDateTime moved(TDateTime start, const Move& move);
  // "Visualisez vos activités à partir du <long day>".
  static std::string moveHint(TDateTime day);

private:
  TDateTime start_ = 0;
  TDateTime end_ = 0;
  std::vector<MObject_OCS*> rows_;
  std::vector<Moccurence*> cells_; // rows × 31
};

} // namespace tessel
