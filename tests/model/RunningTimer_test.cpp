#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "model/RunningTimer.h"
#include "model/U_OR_class_categorie.h"
#include "model/WeekCsv.h"
#include "model/WeekTimetable.h"
#include "model/WeekValidation.h"

#include <QSettings>

using namespace tessel;
using namespace tessel::test;

namespace {

class Timer : public ModelTest {
protected:
  Timer() { openDocument("semaine.TSF"); }
  // A timer reading the test's own settings file, on the test's clock.
  std::unique_ptr<RunningTimer> timer() {
    return std::make_unique<RunningTimer>(&settings, [this] { return clock; });
  }
  static QDateTime when(int d, int h, int m, int s = 0) { return QDateTime(QDate(2026, 12, d), QTime(h, m, s)); }
  std::string cell(TDateTime day, const char* category) {
    WeekTimetable week;
    week.load(day);
    const std::vector<int> rows = week.rowsOfCategory(CategoryNamed(category));
    return rows.empty() ? std::string() : week.cellText(rows.front(), static_cast<int>(day - week.monday()));
  }
  void type(TDateTime day, const char* category, const char* time) {
    WeekTimetable week;
    week.load(day);
    week.addRow(CategoryNamed(category));
    week.commit(week.rowsOfCategory(CategoryNamed(category)).front(), static_cast<int>(day - week.monday()), time);
  }

  const QString document = path("semaine.TSF");
  QSettings settings{path("reglages.ini"), QSettings::IniFormat};
  QDateTime clock = when(9, 10, 0);
};

} // namespace

TEST_F(Timer, StoppingAddsTheElapsedMinutesToTodaysCell) {
  type(at(2026, 12, 9), "Pause", "1:00");
  auto t = timer();
  EXPECT_FALSE(t->running());
  ASSERT_EQ(t->start(document, *CategoryNamed("Pause")), RunningTimer::Start::Started);
  clock = when(9, 11, 29, 40);
  EXPECT_EQ(t->elapsedSeconds(), 89 * 60 + 40);
  EXPECT_TRUE(t->runsFor(document));
  EXPECT_FALSE(t->runsFor(path("autre.TSF")));
  const TimerStop stop = t->stop(document);
  EXPECT_EQ(stop.minutes, 90); // rounded to the nearest minute
  ASSERT_EQ(stop.shares.size(), 1u);
  EXPECT_EQ(stop.shares[0].day, at(2026, 12, 9));
  EXPECT_EQ(cell(at(2026, 12, 9), "Pause"), "02:30");
  EXPECT_FALSE(t->running());
  EXPECT_THROW(t->stop(document), TesselError);
}

TEST_F(Timer, ARunPastMidnightGivesEachDayItsShare) {
  clock = when(6, 23, 20, 20); // a Sunday: the two days lie in two weeks
  auto t = timer();
  t->start(document, *CategoryNamed("Administration"));
  clock = when(8, 0, 50, 10);
  const TimerStop stop = t->stop(document);
  EXPECT_EQ(stop.minutes, 25 * 60 + 30);
  ASSERT_EQ(stop.shares.size(), 3u);
  EXPECT_EQ(stop.shares[0].minutes, 40);
  EXPECT_EQ(stop.shares[1].minutes, 24 * 60);
  EXPECT_EQ(stop.shares[2].minutes, 50);
  // A whole day is more than a cell takes: 23:59 and the rest is dropped.
  EXPECT_EQ(stop.droppedMinutes, 1);
  EXPECT_EQ(cell(at(2026, 12, 6), "Administration"), "00:40");
  EXPECT_EQ(cell(at(2026, 12, 7), "Administration"), "23:59");
  EXPECT_EQ(cell(at(2026, 12, 8), "Administration"), "00:50");
}

TEST_F(Timer, ADayNeverHoldsMoreThan2359) {
  type(at(2026, 12, 9), "Pause", "23:00");
  clock = when(9, 20, 0);
  auto t = timer();
  t->start(document, *CategoryNamed("Pause"));
  clock = when(9, 22, 0);
  const TimerStop stop = t->stop(document);
  EXPECT_EQ(stop.minutes, 120);
  EXPECT_EQ(stop.droppedMinutes, 61);
  EXPECT_EQ(cell(at(2026, 12, 9), "Pause"), "23:59");
}

TEST_F(Timer, TheTimerSurvivesARestart) {
  timer()->start(document, *CategoryNamed("Réunion"));
  settings.sync();
  QSettings again(path("reglages.ini"), QSettings::IniFormat);
  clock = when(9, 10, 45);
  RunningTimer restarted(&again, [this] { return clock; });
  const std::optional<TimerRun> run = restarted.running();
  ASSERT_TRUE(run);
  EXPECT_EQ(run->document, document);
  EXPECT_EQ(run->category, "Réunion");
  EXPECT_EQ(run->start, when(9, 10, 0));
  EXPECT_EQ(restarted.stop(document).minutes, 45);
  EXPECT_EQ(cell(at(2026, 12, 9), "Réunion"), "00:45");
  EXPECT_FALSE(timer()->running());
}

TEST_F(Timer, OneTimerAtATime) {
  auto t = timer();
  t->start(document, *CategoryNamed("Pause"));
  clock = when(9, 10, 30);
  EXPECT_EQ(t->start(document, *CategoryNamed("Administration")), RunningTimer::Start::OtherRunning);
  EXPECT_EQ(t->running()->category, "Pause");
  EXPECT_EQ(cell(at(2026, 12, 9), "Pause"), "");
  // Replacing one of the same document stops it: its time is recorded.
  TimerStop stopped;
  EXPECT_EQ(t->start(document, *CategoryNamed("Administration"), true, &stopped), RunningTimer::Start::Started);
  EXPECT_EQ(stopped.minutes, 30);
  EXPECT_EQ(cell(at(2026, 12, 9), "Pause"), "00:30");
  EXPECT_EQ(t->running()->category, "Administration");
  EXPECT_EQ(t->running()->start, when(9, 10, 30));
  // One of another document cannot be stopped from here, nor is it recorded when replaced.
  EXPECT_THROW(t->stop(path("autre.TSF")), TesselError);
  EXPECT_EQ(t->start(path("autre.TSF"), *CategoryNamed("Pause"), true), RunningTimer::Start::Started);
  EXPECT_EQ(cell(at(2026, 12, 9), "Administration"), "");
  EXPECT_EQ(t->running()->document, path("autre.TSF"));
}

TEST_F(Timer, ValidatedWeeksRefuseTheTimer) {
  type(at(2026, 12, 7), "Pause", "1:00");
  SetWeekValidated(at(2026, 12, 7), true);
  auto t = timer();
  EXPECT_THROW(t->start(document, *CategoryNamed("Pause")), ValidatedWeekError);
  EXPECT_FALSE(t->running());

  // Validated while it ran: the time stays out and the timer runs on.
  SetWeekValidated(at(2026, 12, 7), false);
  t->start(document, *CategoryNamed("Pause"));
  SetWeekValidated(at(2026, 12, 7), true);
  clock = when(9, 11, 0);
  EXPECT_THROW(t->stop(document), ValidatedWeekError);
  EXPECT_TRUE(t->running());
  EXPECT_EQ(cell(at(2026, 12, 9), "Pause"), "");
  SetWeekValidated(at(2026, 12, 7), false);
  EXPECT_EQ(t->stop(document).minutes, 60);
}

TEST_F(Timer, ATimerWhoseCategoryIsGoneIsNotRecorded) {
  Mcategorie* sport = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0))->AddSubcategory("Sport");
  auto t = timer();
  t->start(document, *sport);
  sport->Delete();
  clock = when(9, 11, 0);
  try {
    t->stop(document);
    ADD_FAILURE();
  } catch (const TesselError& e) {
    EXPECT_EQ(cp1252ToUtf8(e.what()), "La catégorie « Sport » du chronomètre n'existe plus dans le document.");
  }
  EXPECT_TRUE(t->running());
  t->forget();
  EXPECT_FALSE(t->running());
}
