#include "reports/U_Fenetre_Report_hebdomadaire_note.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_class_contenu.h"

namespace tessel {

namespace {

ReportField newField(ReportField::Kind kind, const QString& name, const QRectF& placement, const QFont& font) {
  ReportField f;
  f.kind = kind;
  f.name = name;
  f.placement = placement;
  f.font = font;
  return f;
}

} // namespace

TForme_report_act_hebdo_note::TForme_report_act_hebdo_note() {
  QuickRep1.title = QStringLiteral("Rapport hebdomadaire avec note(s)");
  QuickRep1.orientation = QPageLayout::Portrait;
  AddPageBands(QuickRep1, 40);

  using Kind = ReportField::Kind;
  ReportBand& detail = QuickRep1.detail;
  detail.height = ActivityRowHeight;
  detail.rules.top = true;

  ReportField day = newField(Kind::Label, field::Day, QRectF(0, 0, 300, DayRowHeight), ReportPixelFont(16));
  day.textColour = Qt::white;
  day.background = Qt::black;
  day.transparent = false;
  day.autoSize = true;
  detail.add(day);
  ReportField durationCaption =
      newField(Kind::Label, field::DurationCaption, QRectF(10, 3, 100, 17), ReportPixelFont(13));
  durationCaption.font.setUnderline(true);
  durationCaption.caption = QStringLiteral("Durée");
  detail.add(durationCaption);
  detail.add(newField(Kind::Label, field::Duration, QRectF(18, 24, 100, 20), ReportPixelFont(16, true)));
  detail.add(newField(Kind::Image, field::Picture, QRectF(136, 3, 18, 18), ReportPixelFont(13)));
  ReportField name = newField(Kind::Label, field::Activity, QRectF(160, 3, 130, 19), ReportPixelFont(16));
  name.background = Qt::lightGray;
  name.shrinkToFit = true;
  detail.add(name);
  ReportField description = newField(Kind::RichText, field::Description, QRectF(160, 24, 129, 33), ReportPixelFont(13));
  description.stretch = true;
  detail.add(description);
  ReportField note = newField(Kind::RichText, field::Note, QRectF(360, 2, 353, 55), ReportPixelFont(13));
  note.transparent = false;
  note.stretch = true;
  detail.add(note);

  QuickRep1.beforePrint = [this] { QuickRep1BeforePrint(); };
  QuickRep1.needData = [this] { return QuickRep1NeedData(); };
}

void TForme_report_act_hebdo_note::prepare(TDateTime firstDay, TDateTime lastDay) {
  week_.collect(firstDay, lastDay);
  QuickRep1.pageHeader[field::Title].caption = fromCp1252(PeriodText(firstDay, lastDay, true, false));
  table_ = MakeReportTable(week_, true, "-1", [](int i) { return std::to_string(i); }, looks_);
}

int TForme_report_act_hebdo_note::entryAt(int activity, int day) const {
  return TextToInt(table_[static_cast<std::size_t>(activity + 1)][static_cast<std::size_t>(day)]);
}

void TForme_report_act_hebdo_note::QuickRep1BeforePrint() {
  currentActivity_ = -1;
  currentDay_ = 1;
}

bool TForme_report_act_hebdo_note::QuickRep1NeedData() {
  const int activities = week_.activityCount();
  if (currentDay_ > ReportDays || currentActivity_ == activities) return false;
  int e = currentActivity_ == -1 ? -1 : entryAt(currentActivity_, currentDay_);
  // Activities without an entry that day are skipped.
  while (currentActivity_ != -1 && e == -1) {
    if (++currentActivity_ == activities) {
      ++currentDay_;
      currentActivity_ = -1;
      break;
    }
    e = entryAt(currentActivity_, currentDay_);
  }
  if (currentDay_ > ReportDays) return false;

  ReportBand& band = QuickRep1.detail;
  ReportField& day = band[field::Day];
  ReportField& name = band[field::Activity];
  ReportField& duration = band[field::Duration];
  ReportField& durationCaption = band[field::DurationCaption];
  ReportField& picture = band[field::Picture];
  ReportField& note = band[field::Note];
  ReportField& description = band[field::Description];
  band.height = ActivityRowHeight;
  day.caption.clear();
  name.transparent = true;
  name.caption.clear();
  duration.caption.clear();
  durationCaption.enabled = false;
  picture.enabled = false;
  note.background = Qt::white;
  note.lines.clear();
  description.lines.clear();

  if (currentActivity_ == -1) {
    day.caption = QLatin1Char(' ') + fromCp1252(table_[0][static_cast<std::size_t>(currentDay_)]);
    band.height = DayRowHeight;
  } else {
    // The entry's activity is the row's: the table put it there.
    const Moccurence* entry = week_.entry(e);
    const ActivityLook& look = looks_[static_cast<std::size_t>(currentActivity_)];
    name.transparent = false;
    name.caption = look.name;
    description.lines = look.description;
    picture.picture = look.picture;
    picture.enabled = true;
    duration.caption = fromCp1252(ReportDuration(entry->TimeSpent()));
    durationCaption.enabled = true;
    if (const auto* content = dynamic_cast<const Mcontenu*>(entry->EntryContent()))
      note.lines = fromEngineLines(DecodeText(content->Texte())).split(QLatin1Char('\n'));
    else
      note.lines = QStringList{QStringLiteral("Aucun commentaire associe")};
  }

  if (++currentActivity_ == activities) {
    ++currentDay_;
    currentActivity_ = -1;
  }
  return true;
}

} // namespace tessel
