#pragma once
// A read-only grid of cells that its owner draws: leading fixed columns and a
// fixed heading row that stay in place while the rest scrolls, one-pixel grid
// lines, and column borders the user may drag.

#include <QAbstractScrollArea>

#include <functional>
#include <vector>

namespace tessel {

class StringGrid : public QAbstractScrollArea {
  Q_OBJECT
public:
  explicit StringGrid(QWidget* parent = nullptr);

  void setColumnCount(int count);
  int columnCount() const { return int(widths_.size()); }
  void setRowCount(int count);
  int rowCount() const { return rows_; }
  void setFixedColumns(int count);
  int fixedColumns() const { return fixedColumns_; }

  void setColumnWidth(int column, int width);
  int columnWidth(int column) const { return widths_.at(std::size_t(column)); }
  // Row 0 is the heading row; the others share one height.
  void setHeadingHeight(int height);
  void setRowHeight(int height);
  int rowHeight(int row) const { return row == 0 ? headingHeight_ : rowHeight_; }
  static constexpr int GridLineWidth = 1;

  // The cell's rectangle in the viewport, where it is drawn now (it may lie
  // outside the viewport, or under the fixed cells).
  QRect cellRect(int column, int row) const;
  // The column and row under a viewport point; -1 where there is none.
  int columnAt(int x) const;
  int rowAt(int y) const;

  // Draws one cell after the grid filled it with its background.
  using CellPainter = std::function<void(QPainter&, int column, int row, const QRect&)>;
  void setCellPainter(CellPainter painter) { painter_ = std::move(painter); }

Q_SIGNALS:
  // The columns moved: scrolled sideways or resized.
  void columnsMoved();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  int fixedWidth() const;
  int columnLeft(int column) const; // in content coordinates
  int contentWidth() const;
  int contentHeight() const;
  int borderAt(int x) const;        // the column whose right border is at x, or -1
  void updateScrollBars();
  void paintCell(QPainter& painter, int column, int row);

  std::vector<int> widths_;
  int rows_ = 0;
  int fixedColumns_ = 0;
  int headingHeight_ = 24;
  int rowHeight_ = 24;
  int dragged_ = -1;
  CellPainter painter_;
};

} // namespace tessel
