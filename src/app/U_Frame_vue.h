#pragma once
// The period view: about a month of recorded time at a glance, read only. A
// grid with a row per activity and a column per day from the start day (31
// columns), each activity's total, the day totals under it, and a bar chart of
// the same time by day, by week or for the whole period. Rebuilt from the
// object base each time it is shown and on every change; it keeps nothing of
// its own between rebuilds.

#include "app/WorkScreen.h"
#include "model/PeriodGrid.h"

#include <QColor>
#include <QString>

#include <array>

class QBarCategoryAxis;
class QChart;
class QChartView;
class QCheckBox;
class QDateEdit;
class QMenu;
class QRadioButton;
class QSplitter;
class QStackedBarSeries;
class QToolButton;
class QValueAxis;

namespace tessel {

class BarDepth;
class ChartLegend;
class MObject_OCS;
class PaintedPanel;
class StringGrid;

class Tframe_vue : public WorkScreen {
  Q_OBJECT
public:
  static constexpr int Columns = PeriodGrid::days + 2;

  explicit Tframe_vue(QWidget* parent = nullptr);

  // After every document load: the Monday of this week, by day, colours.
  void initialise() override;
  // Before the document closes: the grid lets go of its objects.
  void finalise() override;
  // The workspace colour again: background, chart gradient.
  void refresh() override;
  void pageShown() override;

  // Everything again from the object base, for the date picker's day.
  void rebuild();

  // What the screen shows, for tests.
  const PeriodGrid& period() const { return period_; }
  QString title() const;
  PeriodGrid::ChartMode mode() const;
  // A cell of the grid (row 0 the headings, column 0 the activities, column
  // 1 their totals): its text and the object it refers to.
  QString cellText(int column, int row) const;
  MObject_OCS* cellObject(int column, int row) const;
  struct Colours {
    QColor text, background;
  };
  // A day heading's colours: weekday, weekend or public holiday.
  Colours headingColours(int column) const;
  // The totals strip: a day's sum, "    -" without time, and its colour.
  QString dayTotalText(int day) const;
  QColor dayTotalColour(int day) const;
  QChart* chart() const { return chart_; }
  QStackedBarSeries* bars() const { return bars_; }
  QBarCategoryAxis* categoryAxis() const { return days_; }
  ChartLegend* legend() const { return legend_; }
  BarDepth* depth() const { return depth_; }

  PaintedPanel* const PB_entete;
  QDateEdit* const DTP_debut;
  QWidget* const Panel_navigation;
  QToolButton* const SB_moins_mois;
  QToolButton* const SB_moins_semaine;
  QToolButton* const SB_moins_jour;
  QToolButton* const SB_plus_jour;
  QToolButton* const SB_plus_semaine;
  QToolButton* const SB_plus_mois;
  QSplitter* const Splitter_graphique;
  StringGrid* const SG_temps;
  PaintedPanel* const PB_totaux;
  QChartView* const Chart_vue;
  QWidget* const Panel_options;
  QCheckBox* const CB_3D;
  QRadioButton* const RB_jour;
  QRadioButton* const RB_semaine;
  QRadioButton* const RB_mois;
  QMenu* const PM_graphique;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void buildHeader();
  void buildNavigation();
  void buildGrid();
  void buildChart();
  void applyColours();
  void resetColumnWidths();
  int dayColumnWidth() const;
  void rebuildChart();
  void paintCell(QPainter& painter, int column, int row, const QRect& rect) const;
  void paintTotals(QPainter& painter) const;
  std::array<QToolButton*, 6> moveButtons() const;

  PeriodGrid period_;
  // Made with its view, which owns it (QChartView::setChart would leave
  // the view's first chart unowned).
  QChart* const chart_;
  QStackedBarSeries* bars_ = nullptr;
  QBarCategoryAxis* const days_;
  QValueAxis* const hours_;
  ChartLegend* const legend_;
  BarDepth* const depth_;
};

} // namespace tessel
