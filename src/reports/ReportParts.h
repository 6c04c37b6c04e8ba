#pragma once
// What the two weekly reports share: the week's time entries and activities,
// the page header and footer, and how an activity and a duration print.

#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"
#include "reports/BandedReport.h"

#include <functional>
#include <string>
#include <vector>

namespace tessel {

// Day columns, Monday first: as many as the timetable shows.
constexpr int ReportDays = WeekTimetable::days;

// The fixed product line of the page footers.
extern const QString ReportFooterLine;

// The time entries of the period (from the last loaded to the first) and the
// activities owning them (in the order they are first met).
struct ReportWeek {
  TDateTime firstDay = 0;
  TDateTime lastDay = 0;
  ObjectStrings activities;
  ObjectStrings entries;

  void collect(TDateTime first, TDateTime last);
  int activityCount() const { return static_cast<int>(activities.size()); }
  Moccurence* entry(int index) const;
  // 1-based row of the entry's owner among the activities; 0 when it has none there.
  int rowOf(const Moccurence* entry) const;
  // 1 for the first day of the period.
  int dayOf(const Moccurence* entry) const;
};

// An activity as the reports show it: the name, description and picture of
// its category; an owner without a category shows its display text alone.
struct ActivityLook {
  QString name;
  QStringList description;
  QImage picture;
};
ActivityLook LookOf(const MObject_OCS* owner);

// The report table of a collected week: row 0 holds the day texts (long or
// short dates), column 0 the activities' names, every other cell `empty`
// except where an entry falls, which holds `cell` of the entry's index (the
// first loaded entry of a day and activity wins). `looks` receives each
// activity's look, in row order.
using ReportTable = std::vector<std::vector<std::string>>;
ReportTable MakeReportTable(const ReportWeek& week, bool longDates, const std::string& empty,
                            const std::function<std::string(int)>& cell, std::vector<ActivityLook>& looks);

// The first five characters of the time in the long time format ("02:30").
std::string ReportDuration(TDateTime time);

// The silver, framed page header (title centred, "Page N°" and the page
// number at the right) and the silver footer with its product line.
void AddPageBands(BandedReport& report, qreal headerHeight);

// The names of the fields of both reports.
namespace field {
inline const QString Title = QStringLiteral("QRLabel_titre");
inline const QString PageCaption = QStringLiteral("QRLabel_page");
inline const QString PageNumber = QStringLiteral("QRSysData_page");
inline const QString Footer = QStringLiteral("QRLabel_pied");
inline const QString Day = QStringLiteral("QRLabel_jour");
inline const QString Picture = QStringLiteral("QRImage_activite");
inline const QString Activity = QStringLiteral("QRLabel_activite");
inline const QString Description = QStringLiteral("QRRichText_description");
inline const QString Duration = QStringLiteral("QRLabel_duree");
inline const QString DurationCaption = QStringLiteral("QRLabel_titre_duree");
inline const QString Note = QStringLiteral("QRRichText_note");
} // namespace field

} // namespace tessel
