#include "reports/U_Fenetre_Report_hebdomadaire.h"

#include "foundation/Cp1252.h"

namespace tessel {

namespace {
const QColor ActivityGrey(128, 128, 128);
}

TForme_report_act_hebdo::TForme_report_act_hebdo() {
  QuickRep1.title = QStringLiteral("Rapport hebdomadaire");
  QuickRep1.orientation = QPageLayout::Landscape;
  QuickRep1.columns = ReportDays + 1;
  AddPageBands(QuickRep1, 35);

  ReportBand& header = QuickRep1.columnHeader;
  header.height = 19;
  header.colour = Qt::black;
  ReportField day;
  day.name = field::Day;
  day.font = ReportFont(10, true);
  day.textColour = Qt::white;
  day.alignment = Qt::AlignCenter;
  header.add(day);

  ReportBand& detail = QuickRep1.detail;
  detail.height = 40;
  detail.rules.top = detail.rules.left = true;
  ReportField name;
  name.name = field::Activity;
  name.placement = QRectF(0, 0, 0, 19);
  name.font = ReportFont(11);
  name.background = Qt::lightGray;
  name.alignment = Qt::AlignCenter;
  name.shrinkToFit = true;
  detail.add(name);
  ReportField picture;
  picture.kind = ReportField::Kind::Image;
  picture.name = field::Picture;
  picture.placement = QRectF(2, 1, 18, 18);
  detail.add(picture);
  ReportField description;
  description.kind = ReportField::Kind::RichText;
  description.name = field::Description;
  description.placement = QRectF(0, 19, 0, 0);
  description.transparent = false;
  detail.add(description);
  ReportField duration;
  duration.name = field::Duration;
  duration.font = ReportFont(12, true);
  duration.alignment = Qt::AlignCenter;
  detail.add(duration);

  QuickRep1.beforePrint = [this] { QuickRep1BeforePrint(); };
  QuickRep1.needData = [this] { return QuickRep1NeedData(); };
}

void TForme_report_act_hebdo::prepare(TDateTime firstDay, TDateTime lastDay) {
  week_.collect(firstDay, lastDay);
  QuickRep1.pageHeader[field::Title].caption = fromCp1252(PeriodText(firstDay, lastDay, true, false));
  table_ = MakeReportTable(
      week_, false, std::string(), [this](int i) { return ReportDuration(week_.entry(i)->TimeSpent()); }, looks_);
}

void TForme_report_act_hebdo::QuickRep1BeforePrint() {
  currentColumn_ = 0;
  currentRow_ = 0;
  const int activities = week_.activityCount();
  if (activities == 0) return;
  const qreal free = QuickRep1.pageLength() - QuickRep1.pageHeader.height - QuickRep1.pageFooter.height -
                     QuickRep1.columnHeader.height - QuickRep1.topMargin() - QuickRep1.bottomMargin();
  // Never a band of no height, whatever the number of activities.
  QuickRep1.detail.height = std::max(1, static_cast<int>(free) / activities);
}

bool TForme_report_act_hebdo::QuickRep1NeedData() {
  const int activities = week_.activityCount();
  if (currentColumn_ > ReportDays || currentRow_ == activities) return false;

  ReportBand& band = QuickRep1.detail;
  ReportField& day = QuickRep1.columnHeader[field::Day];
  ReportField& name = band[field::Activity];
  ReportField& duration = band[field::Duration];
  ReportField& picture = band[field::Picture];
  ReportField& description = band[field::Description];
  band.colour = Qt::white;
  day.caption.clear();
  name.transparent = true;
  name.caption.clear();
  duration.caption.clear();
  duration.enabled = false;
  picture.enabled = false;
  description.lines.clear();

  const auto row = static_cast<std::size_t>(currentRow_ + 1);
  const auto column = static_cast<std::size_t>(currentColumn_);
  if (currentColumn_ >= 1) {
    if (currentRow_ == 0) {
      day.caption = fromCp1252(table_[0][column]);
      // Each day's cells fill a column of their own.
      QuickRep1.newColumn = true;
    }
    duration.caption = fromCp1252(table_[row][column]);
    duration.enabled = true;
  } else {
    const ActivityLook& look = looks_[row - 1];
    band.colour = ActivityGrey;
    name.transparent = false;
    name.caption = QStringLiteral("   ") + look.name;
    picture.picture = look.picture;
    picture.enabled = !look.picture.isNull();
    name.indent = picture.enabled ? picture.placement.right() : 0;
    description.lines = look.description;
  }
  // The last column closes the table on the right.
  band.rules.right = currentColumn_ == ReportDays;

  if (++currentRow_ == activities) {
    ++currentColumn_;
    currentRow_ = 0;
  }
  description.background = band.colour;
  return true;
}

} // namespace tessel
