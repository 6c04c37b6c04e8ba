#pragma once
// The workspace under the main window's tool bars: four pages without
// visible tabs, switched only by the main window's page buttons.

#include <QWidget>

#include <array>

class QTabWidget;

namespace tessel {

class WorkScreen;

class TFrame_Tessel : public QWidget {
  Q_OBJECT
public:
  enum class Page { Timetable = 0, Statistics = 1, PeriodView = 2, Calendar = 3 };

  explicit TFrame_Tessel(QWidget* parent = nullptr);

  // After every document load: hide the tabs, initialise the timetable, the
  // period view and the statistics (in that order), show the timetable.
  // (Before the document closes, each screen finalises itself.)
  void initialise();
  // After a colour change: the timetable, the period view, the statistics.
  void RefreshWorkScreens();

  void showTimetablePage();
  void showStatisticsPage();  // rebuilds the statistics
  void showPeriodViewPage();  // rebuilds the period view
  void showCalendarPage();

  // Puts `screen` on `page` in place of what it held (which is deleted).
  void setScreen(Page page, WorkScreen* screen);
  WorkScreen* screen(Page page) const { return screens_[std::size_t(page)]; }
  Page currentPage() const;

  QTabWidget* const PC_tessel;
  QWidget* const TS_emploi_du_temps;
  QWidget* const TS_statistique;
  QWidget* const TS_vues;
  QWidget* const TS_calendrier;

private:
  void showPage(Page page);
  std::array<WorkScreen*, 4> screens_{};
};

} // namespace tessel
