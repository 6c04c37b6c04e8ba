#pragma once
// What Qt Charts does not draw the way the screens want: a background
// gradient of any size, a depth for the bars and the pie (the charts' "3D"
// look), a legend that folds into columns and says what it had to leave out,
// and pie labels laid out along the pie's sides so that they never cover one
// another.

#include <QAbstractBarSeries>
#include <QBrush>
#include <QColor>
#include <QGraphicsObject>
#include <QPointer>
#include <QString>

#include <cstdint>

#include <vector>

class QChart;
class QPieSeries;

namespace tessel {

// A vertical gradient over the whole of a chart's background, whatever its size.
QBrush ChartGradient(const QColor& top, const QColor& bottom);

// The colour an activity's bars or slice are drawn in: its category's, except
// that the default white (no colour chosen) takes the `index`-th of a few
// distinct colours, so that white parts on a light chart stay apart.
QColor ChartColour(std::uint32_t bgr, int index);

// Entries in as many columns as a third of the chart's width allows, at its
// left or right; when even those do not hold every entry, the last line says
// how many are left out. The chart's margin on that side makes room for it.
class ChartLegend : public QGraphicsObject {
  Q_OBJECT
public:
  struct Entry {
    QString text;
    QColor colour;
  };
  ChartLegend(QChart* chart, Qt::Alignment side);

  void setEntries(std::vector<Entry> entries);
  const std::vector<Entry>& entries() const { return entries_; }
  // How many entries are drawn (the others are counted on the last line).
  int shownCount() const { return shown_; }

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
  void layout();
  QChart* chart_;
  Qt::Alignment side_;
  std::vector<Entry> entries_;
  QRectF area_;
  int rows_ = 0, columns_ = 0, columnWidth_ = 0, shown_ = 0;
};

// Side and top faces behind the stacked bars of a series, shaded from the
// bars' colours; nothing while switched off.
class BarDepth : public QGraphicsObject {
  Q_OBJECT
public:
  explicit BarDepth(QChart* chart);
  // The series whose bars get a depth; null for none.
  void setSeries(QAbstractBarSeries* series);
  void setOn(bool on);
  bool isOn() const { return on_; }
  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
  QChart* chart_;
  QPointer<QAbstractBarSeries> series_;
  bool on_ = true;
};

// A pie drawn as a thick disc: the lower rim of each slice in a darker shade
// under the pie, and the slices' labels at both sides of the pie with leader
// lines, the pie sized so that they fit. Labels that do not fit (the smallest
// slices' first) are left out; every slice keeps its tooltip.
class PieDecoration : public QObject {
  Q_OBJECT
public:
  PieDecoration(QChart* chart, QPieSeries* series);
  // One label per slice, in the series' order.
  void setLabels(std::vector<QString> labels);
  int shownLabels() const;
  // Arrow length from the rim to the leader's bend.
  static constexpr int ArrowLength = 8;

private:
  static constexpr int Leader = 14;
  void layout();
  class Rim;
  class Labels;
  QChart* chart_;
  QPieSeries* series_;
  Rim* rim_;
  Labels* labels_;
  std::vector<QString> texts_;
};

} // namespace tessel
