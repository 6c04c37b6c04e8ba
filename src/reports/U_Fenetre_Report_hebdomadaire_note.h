#pragma once
// The weekly report with notes: a portrait list, day by day, of every
// activity worked on that day with its duration and the text of the comment
// attached to the time entry. Each day starts with a header row holding its
// long date; a day without time entries shows its header row alone.

#include "reports/ReportParts.h"

#include <string>
#include <vector>

namespace tessel {

class TForme_report_act_hebdo_note {
public:
  TForme_report_act_hebdo_note();
  TForme_report_act_hebdo_note(const TForme_report_act_hebdo_note&) = delete;
  TForme_report_act_hebdo_note& operator=(const TForme_report_act_hebdo_note&) = delete;

  // Builds the week's lists and the report table and sets the title.
  void prepare(TDateTime firstDay, TDateTime lastDay);

  BandedReport QuickRep1;

  // (activities + 1) rows of (days + 1) cells: the long dates in row 0, the
  // activity names in column 0, elsewhere the position of the day's entry in
  // the week's entry list, or "-1".
  const std::vector<std::vector<std::string>>& table() const { return table_; }
  const ReportWeek& week() const { return week_; }
  int currentDay() const { return currentDay_; }
  int currentActivity() const { return currentActivity_; }

  void QuickRep1BeforePrint();
  bool QuickRep1NeedData();

  static constexpr qreal ActivityRowHeight = 75;
  static constexpr qreal DayRowHeight = 20;

private:
  int entryAt(int activity, int day) const;

  ReportWeek week_;
  std::vector<std::vector<std::string>> table_;
  std::vector<ActivityLook> looks_;
  int currentDay_ = 1;
  int currentActivity_ = -1;
};

} // namespace tessel
