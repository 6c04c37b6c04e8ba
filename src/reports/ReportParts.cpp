#include "reports/ReportParts.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_abstraite_activite.h"

#include <QTime>

#include <algorithm>
#include <cmath>

namespace tessel {

const QString ReportFooterLine = QStringLiteral("Tessel — Gestion de vos rapports d'activités");

void ReportWeek::collect(TDateTime first, TDateTime last) {
  firstDay = first;
  lastDay = last;
  Moccurence::CollectPeriod(activities, entries, first, last);
}

Moccurence* ReportWeek::entry(int index) const {
  return static_cast<Moccurence*>(entries.at(static_cast<std::size_t>(index)).second);
}

int ReportWeek::rowOf(const Moccurence* entry) const {
  const MObject_OCS* owner = entry->EntryOwner();
  if (!owner) return 0;
  const auto it = std::find_if(activities.begin(), activities.end(), [owner](const auto& a) { return a.second == owner; });
  return it == activities.end() ? 0 : static_cast<int>(it - activities.begin()) + 1;
}

int ReportWeek::dayOf(const Moccurence* entry) const {
  return static_cast<int>(std::trunc(entry->StartDate()) - std::trunc(firstDay)) + 1;
}

ActivityLook LookOf(const MObject_OCS* owner) {
  ActivityLook look;
  if (!owner) return look;
  const auto* activity = dynamic_cast<const Mabstraite_activite*>(owner);
  // Finding the category walks the activity's every link: once is enough.
  const Mcategorie* category = activity ? activity->Category() : nullptr;
  if (!category) {
    look.name = fromCp1252(owner->DisplayText());
    return look;
  }
  look.name = fromCp1252(category->Name());
  const QString description = fromEngineLines(category->Description());
  if (!description.isEmpty()) look.description = description.split(QLatin1Char('\n'));
  if (const QImage* picture = category->Picture(); picture && !picture->isNull())
    look.picture = TObjRec::Masked(*picture);
  return look;
}

std::string ReportDuration(TDateTime time) {
  int h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(time, h, m, s, ms);
  return toCp1252(dateLocale().toString(QTime(h, m, s), QLocale::LongFormat).left(5));
}

void AddPageBands(BandedReport& report, qreal headerHeight) {
  ReportBand& header = report.pageHeader;
  header.height = headerHeight;
  header.colour = Qt::lightGray;
  header.rules = {true, true, true, true, 1, Qt::black};
  ReportField title;
  title.name = field::Title;
  // Centred on the page, clear of the page number.
  title.placement = QRectF(90, 0, -90, 0);
  title.font = ReportFont(18);
  title.alignment = Qt::AlignCenter;
  title.shrinkToFit = true;
  header.add(title);
  ReportField caption;
  caption.name = field::PageCaption;
  caption.placement = QRectF(-6, 3, 80, 15);
  caption.alignment = Qt::AlignRight | Qt::AlignVCenter;
  caption.caption = QStringLiteral("Page N°");
  header.add(caption);
  ReportField number;
  number.kind = ReportField::Kind::PageNumber;
  number.name = field::PageNumber;
  number.placement = QRectF(-6, 18, 80, 15);
  number.font = ReportFont(10);
  number.alignment = Qt::AlignRight | Qt::AlignVCenter;
  header.add(number);

  ReportBand& footer = report.pageFooter;
  footer.height = 24;
  footer.colour = Qt::lightGray;
  footer.rules.top = true;
  footer.rules.width = 2;
  ReportField line;
  line.name = field::Footer;
  line.placement = QRectF(0, 2, 0, 0);
  line.font = ReportFont(10);
  line.alignment = Qt::AlignCenter;
  line.caption = ReportFooterLine;
  footer.add(line);
}

ReportTable MakeReportTable(const ReportWeek& week, bool longDates, const std::string& empty,
                            const std::function<std::string(int)>& cell, std::vector<ActivityLook>& looks) {
  const int activities = week.activityCount();
  ReportTable table(static_cast<std::size_t>(activities + 1), std::vector<std::string>(ReportDays + 1, empty));
  for (int d = 1; d <= ReportDays; ++d)
    table[0][static_cast<std::size_t>(d)] = DateTextOf(longDates, week.firstDay + d - 1);
  looks.clear();
  for (int a = 1; a <= activities; ++a) {
    looks.push_back(LookOf(week.activities[static_cast<std::size_t>(a - 1)].second));
    table[static_cast<std::size_t>(a)][0] = toCp1252(looks.back().name);
  }
  // From the last entry to the first: the first one of a day wins.
  for (int i = static_cast<int>(week.entries.size()) - 1; i >= 0; --i) {
    const Moccurence* entry = week.entry(i);
    const int row = week.rowOf(entry);
    const int day = week.dayOf(entry);
    if (row > 0 && day >= 1 && day <= ReportDays)
      table[static_cast<std::size_t>(row)][static_cast<std::size_t>(day)] = cell(i);
  }
  return table;
}

} // namespace tessel
