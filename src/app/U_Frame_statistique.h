#pragma once
// The statistics: how the time recorded between two chosen days was shared
// among the activities, as a pie with a slice per activity sized by its whole
// hours, its marks as percentages or as hours. Rebuilt each time it is shown,
// when a day changes and when the marks' style is chosen; the chart prints
// and exports from the style group's menu.

#include "app/WorkScreen.h"
#include "model/PieStatistics.h"

#include <QString>

#include <vector>

class QChart;
class QChartView;
class QDateEdit;
class QGraphicsSimpleTextItem;
class QGroupBox;
class QMenu;
class QPieSeries;
class QRadioButton;
class QSplitter;

namespace tessel {

class ChartLegend;
class PaintedPanel;
class PieDecoration;

class TFrame_Stat : public WorkScreen {
  Q_OBJECT
public:
  explicit TFrame_Stat(QWidget* parent = nullptr);

  // After every document load: from 15 days before today to 15 days after.
  void initialise() override;
  // Before the document closes: the slices let go of their activities.
  void finalise() override;
  // The workspace colour again: background, chart gradient.
  void refresh() override;
  void pageShown() override;

  void rebuild();

  // What the screen shows, for tests.
  const PieStatistics& statistics() const { return statistics_; }
  QString title() const;
  bool showsPercentages() const;
  // The mark of each slice, in the pie's order.
  const std::vector<QString>& marks() const { return marks_; }
  QChart* chart() const { return chart_; }
  QPieSeries* pie() const { return pie_; }
  ChartLegend* legend() const { return legend_; }
  PieDecoration* decoration() const { return decoration_; }
  // The note over an empty pie.
  bool showsNothingNote() const;

  PaintedPanel* const Panel_entete;
  QDateEdit* const DTP_debut;
  QDateEdit* const DTP_fin;
  QSplitter* const Splitter_entete;
  QWidget* const Panel_graphique;
  QChartView* const Chart_stat;
  QGroupBox* const RG_style;
  QRadioButton* const RB_pourcentage;
  QRadioButton* const RB_valeurs;
  QMenu* const PM_impression;

private:
  void buildHeader();
  void buildChart();
  void applyColours();
  void placeEndPicker();
  void showSlices();

  PieStatistics statistics_;
  std::vector<QString> marks_;
  // Made with its view, which owns it (QChartView::setChart would leave
  // the view's first chart unowned).
  QChart* const chart_;
  QPieSeries* const pie_;
  ChartLegend* const legend_;
  PieDecoration* const decoration_;
  QGraphicsSimpleTextItem* const emptyNote_;
};

} // namespace tessel
