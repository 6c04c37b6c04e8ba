#pragma once
// Workspaces shaped like real ones, made through the domain model: a category
// tree, one activity per category, one entry per activity and working day
// over ten years, a note on some entries. Each is made once per process and
// saved to a private file.

#include "foundation/ZEP_Dates.h"

#include <QString>

#include <vector>

namespace tessel::bench {

// A week in the middle of the period.
extern const TDateTime WeekMonday;

// The entries as (day, activity number, minutes).
struct Row {
  int day;
  int activity;
  int minutes;
};

struct Workspace {
  QString path;
  std::vector<Row> rows;
};

// `activities` activities: 8 give about 21 000 entries, 58 about 151 000.
const Workspace& workspace(int activities);

// Opens a data file as the program does, after-load step included.
void openWorkspace(const QString& path);
void closeWorkspace();

} // namespace tessel::bench
