#pragma once
// The running timer: one at a time for the user, kept in the settings
// (organisation "Tessel", application "Tessel") so that it survives closing
// the program. It names the document by its absolute path, the category by
// its name, and holds the start date and time.
//
// Stopping it records the elapsed time, rounded to the minute, in the
// timetable as typing it does: added to that day's time of the category's
// activity, at most 23:59 a day (what goes beyond is dropped and reported).
// A run past midnight gives each day its share. Starting and stopping are
// refused (ValidatedWeekError, nothing changed) when a day concerned lies in
// a validated week. The clock is given, so tests can move it.

#include "foundation/ZEP_Dates.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QSettings;

namespace tessel {

class Mcategorie;

struct TimerRun {
  QString document; // absolute path
  QString category; // the category's name
  QDateTime start;
};

// What stopping recorded.
struct TimerStop {
  struct Share {
    TDateTime day = 0;
    int minutes = 0; // added to that day's cell
  };
  int minutes = 0;           // elapsed, rounded to the minute
  std::vector<Share> shares; // the days that received time, in order
  int droppedMinutes = 0;    // beyond 23:59 a day
};

class RunningTimer {
public:
  using Clock = std::function<QDateTime()>;

  // The user's settings and the system clock unless given; `settings` must
  // outlive the timer.
  explicit RunningTimer(QSettings* settings = nullptr, Clock clock = {});
  ~RunningTimer();
  RunningTimer(const RunningTimer&) = delete;
  RunningTimer& operator=(const RunningTimer&) = delete;

  std::optional<TimerRun> running() const;
  // Whole seconds since the start (0 when none runs or the clock went back).
  qint64 elapsedSeconds() const;
  // Whether the running timer is for that document (its absolute path).
  bool runsFor(const QString& document) const;

  enum class Start { Started, OtherRunning };
  // Starts a timer for the category of the open document `document`. When
  // one runs already, answers OtherRunning and changes nothing, unless
  // `replace`: then a timer of the same document is stopped first (its time
  // recorded, given back in `stopped`), and one of another document is
  // dropped without recording its time. Refused in a validated week.
  Start start(const QString& document, const Mcategorie& category, bool replace = false,
              TimerStop* stopped = nullptr);
  // Records the elapsed time in the open document `document` and forgets
  // the timer. A TesselError when no timer runs for that document, its
  // category is gone, or a day of the run is in a validated week; nothing
  // is changed then and the timer runs on.
  TimerStop stop(const QString& document);
  // The two halves of stop, for a caller that saves between them: a failed
  // save leaves the timer running.
  TimerStop record(const QString& document);
  void forget();

private:
  QDateTime now() const;

  QSettings* settings_;
  bool ownsSettings_;
  Clock clock_;
};

} // namespace tessel
