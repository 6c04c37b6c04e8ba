#include "widgets/StringGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tessel {

StringGrid::StringGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setMouseTracking(true);
  viewport()->setBackgroundRole(QPalette::Window);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void StringGrid::setColumnCount(int count) {
  widths_.resize(std::size_t(std::max(0, count)), 64);
  updateScrollBars();
}

void StringGrid::setRowCount(int count) {
  rows_ = std::max(0, count);
  updateScrollBars();
}

void StringGrid::setFixedColumns(int count) {
  fixedColumns_ = std::clamp(count, 0, columnCount());
  updateScrollBars();
}

void StringGrid::setColumnWidth(int column, int width) {
  widths_.at(std::size_t(column)) = std::max(0, width);
  updateScrollBars();
  Q_EMIT columnsMoved();
}

void StringGrid::setHeadingHeight(int height) {
  headingHeight_ = std::max(0, height);
  updateScrollBars();
}

void StringGrid::setRowHeight(int height) {
  rowHeight_ = std::max(1, height);
  updateScrollBars();
}

int StringGrid::fixedWidth() const { return columnLeft(fixedColumns_); }

int StringGrid::columnLeft(int column) const {
  int x = 0;
  for (int c = 0; c < column; ++c) x += widths_[std::size_t(c)] + GridLineWidth;
  return x;
}

int StringGrid::contentWidth() const { return columnLeft(columnCount()); }

int StringGrid::contentHeight() const {
  return rows_ == 0 ? 0 : headingHeight_ + GridLineWidth + (rows_ - 1) * (rowHeight_ + GridLineWidth);
}

QRect StringGrid::cellRect(int column, int row) const {
  int x = columnLeft(column);
  if (column >= fixedColumns_) x -= horizontalScrollBar()->value();
  int y = row == 0 ? 0 : headingHeight_ + GridLineWidth + (row - 1) * (rowHeight_ + GridLineWidth);
  if (row > 0) y -= verticalScrollBar()->value();
  return QRect(x, y, widths_.at(std::size_t(column)), rowHeight(row));
}

int StringGrid::columnAt(int x) const {
  for (int c = 0; c < columnCount(); ++c) {
    const QRect r = cellRect(c, 0);
    if (c >= fixedColumns_ && r.right() < fixedWidth()) continue; // scrolled under the fixed columns
    if (x >= r.left() && x <= r.right() + GridLineWidth) return c;
  }
  return -1;
}

int StringGrid::rowAt(int y) const {
  if (rows_ == 0) return -1;
  if (y < headingHeight_ + GridLineWidth) return y >= 0 ? 0 : -1;
  const int row = 1 + (y - headingHeight_ - GridLineWidth + verticalScrollBar()->value()) / (rowHeight_ + GridLineWidth);
  return row < rows_ ? row : -1;
}

void StringGrid::updateScrollBars() {
  const QSize area = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, contentWidth() - area.width()));
  horizontalScrollBar()->setPageStep(std::max(1, area.width() - fixedWidth()));
  horizontalScrollBar()->setSingleStep(32);
  const int scrolled = std::max(0, contentHeight() - area.height());
  verticalScrollBar()->setRange(0, scrolled);
  verticalScrollBar()->setPageStep(std::max(1, area.height() - headingHeight_));
  verticalScrollBar()->setSingleStep(rowHeight_ + GridLineWidth);
  viewport()->update();
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void StringGrid::scrollContentsBy(int dx, int) {
  viewport()->update();
  if (dx != 0) Q_EMIT columnsMoved();
}

void StringGrid::paintCell(QPainter& painter, int column, int row) {
  const QRect r = cellRect(column, row);
  const bool fixed = row == 0 || column < fixedColumns_;
  painter.fillRect(r, fixed ? palette().button() : palette().base());
  if (painter_) {
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter_(painter, column, row, r);
    painter.restore();
  }
}

void StringGrid::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().window());
  painter.setPen(Qt::NoPen);
  const int fixedRight = fixedWidth();
  const int headingBottom = headingHeight_ + GridLineWidth;
  const QRect all = viewport()->rect();
  const QColor line = palette().color(QPalette::Mid);
  // Four areas, the scrolling one first so that the fixed ones cover it.
  auto area = [&](bool fixedColumns, bool heading) {
    QRect clip = all;
    if (fixedColumns) clip.setRight(fixedRight - 1); else clip.setLeft(fixedRight);
    if (heading) clip.setBottom(headingBottom - 1); else clip.setTop(headingBottom);
    if (clip.isEmpty()) return;
    painter.save();
    painter.setClipRect(clip);
    const int firstColumn = fixedColumns ? 0 : fixedColumns_;
    const int lastColumn = fixedColumns ? fixedColumns_ : columnCount();
    const int firstRow = heading ? 0 : 1;
    const int lastRow = heading ? std::min(1, rows_) : rows_;
    for (int r = firstRow; r < lastRow; ++r) {
      const QRect rowRect = cellRect(0, r);
      if (rowRect.bottom() < clip.top() || rowRect.top() > clip.bottom()) continue;
      for (int c = firstColumn; c < lastColumn; ++c) {
        const QRect cell = cellRect(c, r);
        if (cell.right() + GridLineWidth < clip.left() || cell.left() > clip.right()) continue;
        paintCell(painter, c, r);
        painter.fillRect(QRect(cell.right() + 1, cell.top(), GridLineWidth, cell.height() + GridLineWidth), line);
        painter.fillRect(QRect(cell.left(), cell.bottom() + 1, cell.width() + GridLineWidth, GridLineWidth), line);
      }
    }
    painter.restore();
  };
  area(false, false);
  area(true, false);
  area(false, true);
  area(true, true);
}

int StringGrid::borderAt(int x) const {
  for (int c = columnCount() - 1; c >= 0; --c) {
    const QRect r = cellRect(c, 0);
    if (c >= fixedColumns_ && r.right() < fixedWidth()) continue;
    if (std::abs(x - (r.right() + 1)) <= 2) return c;
  }
  return -1;
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragged_ = borderAt(int(event->position().x()));
  QAbstractScrollArea::mousePressEvent(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  const int x = int(event->position().x());
  if (dragged_ >= 0) {
    setColumnWidth(dragged_, std::max(4, x - cellRect(dragged_, 0).left()));
  } else {
    viewport()->setCursor(borderAt(x) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
  }
  QAbstractScrollArea::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
  dragged_ = -1;
  QAbstractScrollArea::mouseReleaseEvent(event);
}

} // namespace tessel
