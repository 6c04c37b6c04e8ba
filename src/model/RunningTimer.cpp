#include "model/RunningTimer.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/WeekCsv.h"
#include "model/WeekTimetable.h"
#include "model/WeekValidation.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace tessel {

namespace {

const QString documentKey = QStringLiteral("chronometre/document");
const QString categoryKey = QStringLiteral("chronometre/categorie");
const QString startKey = QStringLiteral("chronometre/debut");

constexpr int dayLimit = 23 * 60 + 59;

QString absolute(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

TDateTime dayOf(const QDate& date) { return EncodeDate(date.year(), date.month(), date.day()); }

int minutesOf(TDateTime time) { return static_cast<int>(std::llround(time * 86400) / 60); }

QString timeText(int minutes) {
  return QString("%1:%2").arg(minutes / 60, 2, 10, QChar('0')).arg(minutes % 60, 2, 10, QChar('0'));
}

} // namespace

RunningTimer::RunningTimer(QSettings* settings, Clock clock)
    : settings_(settings ? settings : new QSettings(QStringLiteral("Tessel"), QStringLiteral("Tessel"))),
      ownsSettings_(!settings), clock_(std::move(clock)) {}

RunningTimer::~RunningTimer() {
  if (ownsSettings_) delete settings_;
}

QDateTime RunningTimer::now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }

std::optional<TimerRun> RunningTimer::running() const {
  settings_->sync(); // another process may have started or stopped it
  TimerRun run{settings_->value(documentKey).toString(), settings_->value(categoryKey).toString(),
               QDateTime::fromString(settings_->value(startKey).toString(), Qt::ISODate)};
  if (run.document.isEmpty() || run.category.isEmpty() || !run.start.isValid()) return std::nullopt;
  return run;
}

qint64 RunningTimer::elapsedSeconds() const {
  const std::optional<TimerRun> run = running();
  return run ? std::max<qint64>(0, run->start.secsTo(now())) : 0;
}

bool RunningTimer::runsFor(const QString& document) const {
  const std::optional<TimerRun> run = running();
  return run && run->document == absolute(document);
}

RunningTimer::Start RunningTimer::start(const QString& document, const Mcategorie& category, bool replace,
                                        TimerStop* stopped) {
  const QDateTime start = now();
  CheckWeekOpen(dayOf(start.date()));
  if (const std::optional<TimerRun> other = running()) {
    if (!replace) return Start::OtherRunning;
    if (other->document == absolute(document)) {
      const TimerStop done = stop(document);
      if (stopped) *stopped = done;
    }
  }
  settings_->setValue(documentKey, absolute(document));
  settings_->setValue(categoryKey, fromCp1252(category.Name()));
  settings_->setValue(startKey, start.toString(Qt::ISODate));
  settings_->sync();
  return Start::Started;
}

TimerStop RunningTimer::record(const QString& document) {
  const std::optional<TimerRun> run = running();
  if (!run) throw TesselError("Aucun chronomètre ne tourne."_w);
  if (run->document != absolute(document))
    throw TesselError(Message("Le chronomètre tourne pour le document "_w) + QuotedFileName(run->document) +
                      " : arrêtez-le depuis ce document."_w);
  Mcategorie* category = CategoryNamed(run->category);
  if (!category)
    throw TesselError(Message("La catégorie « "_w) + toCp1252(run->category) +
                      " » du chronomètre n'existe plus dans le document."_w);

  // Each day's share is the difference of the rounded times from the start
  // to its end: the shares add up to the elapsed time rounded.
  const QDateTime end = std::max(now(), run->start);
  TimerStop result;
  int before = 0;
  for (QDate date = run->start.date(); date <= end.date(); date = date.addDays(1)) {
    const QDateTime dayEnd = std::min(end, QDateTime(date.addDays(1), QTime(0, 0)));
    const int upToDayEnd = static_cast<int>(std::llround(static_cast<double>(run->start.secsTo(dayEnd)) / 60));
    if (upToDayEnd > before) result.shares.push_back({dayOf(date), upToDayEnd - before});
    before = std::max(before, upToDayEnd);
  }
  result.minutes = before;
  for (const TimerStop::Share& share : result.shares) CheckWeekOpen(share.day);

  for (TimerStop::Share& share : result.shares) {
    WeekTimetable week;
    week.load(share.day);
    week.addRow(category);
    const int row = week.rowOf(ActivityOfCategory(category));
    const int day = static_cast<int>(share.day - week.monday());
    const Moccurence* entry = week.entry(row, day);
    const int held = entry ? minutesOf(entry->TimeSpent()) : 0;
    const int total = std::min(held + share.minutes, dayLimit);
    result.droppedMinutes += held + share.minutes - total;
    week.commit(row, day, toCp1252(timeText(total)));
  }
  return result;
}

void RunningTimer::forget() {
  settings_->remove(QStringLiteral("chronometre"));
  settings_->sync();
}

TimerStop RunningTimer::stop(const QString& document) {
  TimerStop result = record(document);
  forget();
  return result;
}

} // namespace tessel
