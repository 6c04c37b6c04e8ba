#include "app/ChartDecorations.h"

#include "widgets/PaintHelpers.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetrics>
#include <QGraphicsItem>
#include <QPainter>
#include <QPainterPath>
#include <QPieSeries>
#include <QPieSlice>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tessel {

namespace {

// Below the series (whose items lie at z 4 and above), above the grid and axes.
constexpr qreal BehindSeries = 3.5;
constexpr qreal OverSeries = 6;
constexpr int EdgeMargin = 6;
// The legend's colour squares and the room between its columns.
constexpr int Swatch = 10;
constexpr int Gap = 12;

QColor sideShade(const QColor& c) { return c.darker(140); }
QColor topShade(const QColor& c) { return c.lightness() > 230 ? c.darker(108) : c.lighter(118); }

} // namespace

QColor ChartColour(std::uint32_t bgr, int index) {
  const QColor chosen = ColourFromBgr(bgr);
  if (chosen != QColor(Qt::white)) return chosen;
  static const std::array<QColor, 10> distinct = {
      QColor(70, 130, 180), QColor(230, 159, 0),  QColor(0, 158, 115),  QColor(204, 121, 167), QColor(213, 94, 0),
      QColor(86, 180, 233), QColor(240, 228, 66), QColor(120, 94, 240), QColor(160, 160, 160), QColor(153, 79, 0)};
  return distinct[static_cast<std::size_t>(index) % distinct.size()];
}

QBrush ChartGradient(const QColor& top, const QColor& bottom) {
  QLinearGradient gradient(0, 0, 0, 1);
  gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  return gradient;
}

// ---------------------------------------------------------------- legend

ChartLegend::ChartLegend(QChart* chart, Qt::Alignment side) : QGraphicsObject(chart), chart_(chart), side_(side) {
  setZValue(OverSeries);
  connect(chart, &QChart::plotAreaChanged, this, &ChartLegend::layout);
}

void ChartLegend::setEntries(std::vector<Entry> entries) {
  entries_ = std::move(entries);
  layout();
}

void ChartLegend::layout() {
  prepareGeometryChange();
  const QFontMetrics metrics(chart_->font());
  const int line = metrics.height() + 4;
  const int n = int(entries_.size());
  const qreal top = chart_->plotArea().top();
  const qreal bottom = chart_->size().height() - EdgeMargin;
  int width = 0;
  if (n > 0) {
    int widest = metrics.horizontalAdvance(QStringLiteral("… et 99 autres"));
    for (const Entry& e : entries_) widest = std::max(widest, metrics.horizontalAdvance(e.text));
    // A few pixels more than the text, which eliding would otherwise cut.
    columnWidth_ = std::min(widest, 220) + 4 + Swatch + Gap;
    rows_ = std::max(1, int((bottom - top) / line));
    const int fitting = std::max(1, int(chart_->size().width() / 3 / columnWidth_));
    columns_ = std::min((n + rows_ - 1) / rows_, fitting);
    shown_ = n <= rows_ * columns_ ? n : rows_ * columns_ - 1;
    width = columns_ * columnWidth_;
  } else {
    rows_ = columns_ = shown_ = 0;
  }
  const qreal x = side_ & Qt::AlignLeft ? EdgeMargin : chart_->size().width() - EdgeMargin - width;
  area_ = QRectF(x, top, width, std::min<qreal>(bottom - top, rows_ * line));
  QMargins margins = chart_->margins();
  const int room = width > 0 ? width + EdgeMargin : 0;
  if (side_ & Qt::AlignLeft)
    margins.setLeft(EdgeMargin + room);
  else
    margins.setRight(EdgeMargin + room);
  if (margins != chart_->margins()) chart_->setMargins(margins);
  update();
}

QRectF ChartLegend::boundingRect() const { return area_; }

void ChartLegend::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (entries_.empty()) return;
  painter->setFont(chart_->font());
  const QFontMetrics metrics(chart_->font());
  const int line = metrics.height() + 4;
  const int count = int(entries_.size());
  for (int i = 0; i < shown_ || (i == shown_ && shown_ < count); ++i) {
    const qreal x = area_.left() + (i / rows_) * columnWidth_;
    const qreal y = area_.top() + (i % rows_) * line;
    QString text;
    if (i < shown_) {
      const QRectF swatch(x, y + (line - Swatch) / 2.0, Swatch, Swatch);
      painter->setPen(entries_[std::size_t(i)].colour.darker(160));
      painter->setBrush(entries_[std::size_t(i)].colour);
      painter->drawRect(swatch);
      text = metrics.elidedText(entries_[std::size_t(i)].text, Qt::ElideRight, columnWidth_ - Swatch - Gap);
    } else {
      text = QStringLiteral("… et %1 autres").arg(count - shown_);
    }
    painter->setPen(Qt::black);
    painter->drawText(QRectF(x + Swatch + 4, y, columnWidth_ - Swatch - 4, line), Qt::AlignLeft | Qt::AlignVCenter, text);
  }
}

// ---------------------------------------------------------------- bars

BarDepth::BarDepth(QChart* chart) : QGraphicsObject(chart), chart_(chart) {
  setZValue(BehindSeries);
  connect(chart, &QChart::plotAreaChanged, this, [this] { prepareGeometryChange(); });
}

void BarDepth::setSeries(QAbstractBarSeries* series) {
  series_ = series;
  update();
}

void BarDepth::setOn(bool on) {
  on_ = on;
  update();
}

QRectF BarDepth::boundingRect() const { return chart_->plotArea().adjusted(0, -20, 20, 0); }

void BarDepth::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (!on_ || !series_ || series_->barSets().isEmpty()) return;
  const QList<QBarSet*> sets = series_->barSets();
  painter->setClipRect(boundingRect());
  int categories = 0;
  for (QBarSet* set : sets) categories = std::max(categories, int(set->count()));
  const qreal half = series_->barWidth() / 2;
  const qreal categoryWidth =
      chart_->mapToPosition(QPointF(1, 0), series_).x() - chart_->mapToPosition(QPointF(0, 0), series_).x();
  const qreal depth = std::clamp((1 - series_->barWidth()) * categoryWidth * 0.8, 2.0, 12.0);
  for (int i = 0; i < categories; ++i) {
    qreal base = 0;
    QBarSet* topmost = nullptr;
    QPointF topLeft, topRight;
    for (QBarSet* set : sets) {
      const qreal value = i < set->count() ? set->at(i) : 0;
      if (value <= 0) continue;
      const QPointF low = chart_->mapToPosition(QPointF(i + half, base), series_);
      base += value;
      const QPointF high = chart_->mapToPosition(QPointF(i + half, base), series_);
      painter->setPen(sideShade(set->color()).darker(130));
      painter->setBrush(sideShade(set->color()));
      painter->drawPolygon(QPolygonF{low, low + QPointF(depth, -depth), high + QPointF(depth, -depth), high});
      topmost = set;
      topRight = high;
      topLeft = chart_->mapToPosition(QPointF(i - half, base), series_);
    }
    if (!topmost) continue;
    painter->setPen(sideShade(topmost->color()).darker(130));
    painter->setBrush(topShade(topmost->color()));
    painter->drawPolygon(QPolygonF{topLeft, topRight, topRight + QPointF(depth, -depth), topLeft + QPointF(depth, -depth)});
  }
}

// ---------------------------------------------------------------- pie

namespace {

struct PieShape {
  QPointF centre;
  qreal radius = 0;
  qreal depth = 0;
};

// Where Qt Charts draws the pie: centred at the series' position in the plot
// area, its radius the series' size times half the area's smaller side.
PieShape pieShape(const QChart* chart, const QPieSeries* series) {
  const QRectF area = chart->plotArea();
  PieShape shape;
  shape.centre = QPointF(area.left() + area.width() * series->horizontalPosition(),
                         area.top() + area.height() * series->verticalPosition());
  shape.radius = std::min(area.width(), area.height()) / 2 * series->pieSize();
  shape.depth = std::clamp(shape.radius * 0.12, 4.0, 18.0);
  return shape;
}

// A point of the rim at a pie angle (degrees clockwise from twelve o'clock).
QPointF onRim(const PieShape& shape, qreal angle, qreal extra = 0) {
  const qreal a = angle * std::numbers::pi / 180;
  return shape.centre + QPointF(std::sin(a), -std::cos(a)) * (shape.radius + extra);
}

} // namespace

class PieDecoration::Rim : public QGraphicsItem {
public:
  Rim(QChart* chart, QPieSeries* series) : QGraphicsItem(chart), chart_(chart), series_(series) { setZValue(BehindSeries); }
  QRectF boundingRect() const override { return chart_->plotArea(); }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    const PieShape shape = pieShape(chart_, series_);
    const QRectF disc(shape.centre - QPointF(shape.radius, shape.radius), QSizeF(2 * shape.radius, 2 * shape.radius));
    for (QPieSlice* slice : series_->slices()) {
      // Only the lower half of the rim faces the viewer.
      const qreal from = std::max<qreal>(90, slice->startAngle());
      const qreal to = std::min<qreal>(270, slice->startAngle() + slice->angleSpan());
      if (to <= from) continue;
      QPainterPath path;
      path.arcMoveTo(disc, 90 - from);
      path.arcTo(disc, 90 - from, from - to);
      path.arcTo(disc.translated(0, shape.depth), 90 - to, to - from);
      path.closeSubpath();
      painter->setPen(QPen(sideShade(slice->color()).darker(125), 0));
      painter->setBrush(sideShade(slice->color()));
      painter->drawPath(path);
    }
  }
  void changed() { prepareGeometryChange(); }

private:
  QChart* chart_;
  QPieSeries* series_;
};

class PieDecoration::Labels : public QGraphicsItem {
public:
  Labels(QChart* chart) : QGraphicsItem(chart), chart_(chart) { setZValue(OverSeries); }
  struct Placed {
    QString text;
    QPointF rim, bend;
    QRectF box;
  };
  std::vector<Placed> placed;
  QRectF boundingRect() const override { return chart_->rect(); }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    painter->setFont(chart_->font());
    for (const Placed& p : placed) {
      const bool right = p.box.left() > p.bend.x();
      const QPointF end(right ? p.box.left() : p.box.right(), p.box.center().y());
      painter->setPen(QPen(QColor(64, 64, 64), 1));
      painter->drawPolyline(QPolygonF{p.rim, p.bend, end});
      painter->setBrush(QColor(255, 255, 240));
      painter->drawRect(p.box);
      painter->setPen(Qt::black);
      painter->drawText(p.box, Qt::AlignCenter, p.text);
    }
  }
  void changed() {
    prepareGeometryChange();
    update();
  }

private:
  QChart* chart_;
};

PieDecoration::PieDecoration(QChart* chart, QPieSeries* series)
    : QObject(chart), chart_(chart), series_(series), rim_(new Rim(chart, series)), labels_(new Labels(chart)) {
  connect(chart, &QChart::plotAreaChanged, this, &PieDecoration::layout);
}

void PieDecoration::setLabels(std::vector<QString> labels) {
  texts_ = std::move(labels);
  layout();
}

int PieDecoration::shownLabels() const { return int(labels_->placed.size()); }

void PieDecoration::layout() {
  const QRectF area = chart_->plotArea();
  const QFontMetrics metrics(chart_->font());
  const qreal boxHeight = metrics.height() + 4;
  qreal widest = 0;
  for (const QString& t : texts_) widest = std::max<qreal>(widest, metrics.horizontalAdvance(t) + 8);
  // The pie as large as the labels at its sides and its depth allow.
  const qreal side = ArrowLength + Leader + widest + 2;
  qreal radius = std::min((area.width() - 2 * side) / 2, (area.height() - 2 * boxHeight / 2) / 2 / 1.12);
  radius = std::max<qreal>(radius, 20);
  const qreal depth = std::clamp(radius * 0.12, 4.0, 18.0);
  const qreal smaller = std::min(area.width(), area.height());
  if (smaller > 0) {
    series_->setPieSize(std::min<qreal>(1, 2 * radius / smaller));
    series_->setVerticalPosition(area.height() > 0 ? (area.height() - depth) / 2 / area.height() : 0.5);
  }
  const PieShape shape = pieShape(chart_, series_);

  // Each side's labels in the order of their slices' heights, pushed apart.
  struct Wanted {
    std::size_t slice;
    qreal value;
    qreal y;
  };
  std::vector<Wanted> sides[2];
  const QList<QPieSlice*> slices = series_->slices();
  for (std::size_t i = 0; i < std::min<std::size_t>(texts_.size(), slices.size()); ++i) {
    const qreal middle = slices[qsizetype(i)]->startAngle() + slices[qsizetype(i)]->angleSpan() / 2;
    const QPointF bend = onRim(shape, middle, ArrowLength);
    sides[std::fmod(middle, 360) > 180 ? 0 : 1].push_back({i, slices[qsizetype(i)]->value(), bend.y() - boxHeight / 2});
  }
  labels_->placed.clear();
  const qreal top = area.top() - boxHeight / 2, bottom = area.bottom() + boxHeight / 2;
  const std::size_t room = std::size_t(std::max<qreal>(0, (bottom - top) / boxHeight));
  for (int s = 0; s < 2; ++s) {
    std::vector<Wanted>& wanted = sides[s];
    if (wanted.size() > room) {
      // The largest slices keep their labels.
      std::stable_sort(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) { return a.value > b.value; });
      wanted.resize(room);
    }
    std::sort(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) { return a.y < b.y; });
    std::vector<qreal> y;
    for (const Wanted& w : wanted) y.push_back(std::max(w.y, y.empty() ? top : y.back() + boxHeight));
    for (std::size_t k = y.size(); k-- > 0;)
      y[k] = std::min(y[k], k + 1 < y.size() ? y[k + 1] - boxHeight : bottom - boxHeight);
    for (std::size_t k = 0; k < wanted.size(); ++k) {
      const QPieSlice* slice = slices[qsizetype(wanted[k].slice)];
      const qreal middle = slice->startAngle() + slice->angleSpan() / 2;
      const QString& text = texts_[wanted[k].slice];
      const qreal width = metrics.horizontalAdvance(text) + 8;
      const qreal x = s == 1 ? shape.centre.x() + shape.radius + ArrowLength + Leader
                             : shape.centre.x() - shape.radius - ArrowLength - Leader - width;
      labels_->placed.push_back(
          {text, onRim(shape, middle), onRim(shape, middle, ArrowLength), QRectF(x, y[k], width, boxHeight)});
    }
  }
  rim_->changed();
  labels_->changed();
}

} // namespace tessel
