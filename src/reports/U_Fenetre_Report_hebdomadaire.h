#pragma once
// The weekly report: a landscape table with one row per activity and one
// column per day holding the time spent. Eight columns across the page, the
// first for the activities, filled top to bottom: each column holds exactly
// one cell per activity, so the rows of all columns line up.

#include "reports/ReportParts.h"

#include <string>
#include <vector>

namespace tessel {

class TForme_report_act_hebdo {
public:
  TForme_report_act_hebdo();
  TForme_report_act_hebdo(const TForme_report_act_hebdo&) = delete;
  TForme_report_act_hebdo& operator=(const TForme_report_act_hebdo&) = delete;

  // Builds the week's lists and the report table and sets the title.
  void prepare(TDateTime firstDay, TDateTime lastDay);

  BandedReport QuickRep1;

  // (activities + 1) rows of (days + 1) cells: the short dates in row 0, the
  // activity names in column 0, the durations elsewhere.
  const std::vector<std::vector<std::string>>& table() const { return table_; }
  const ReportWeek& week() const { return week_; }
  int currentColumn() const { return currentColumn_; }
  int currentRow() const { return currentRow_; }

  void QuickRep1BeforePrint();
  bool QuickRep1NeedData();

private:
  ReportWeek week_;
  std::vector<std::vector<std::string>> table_;
  std::vector<ActivityLook> looks_;
  int currentColumn_ = 0;
  int currentRow_ = 0;
};

} // namespace tessel
