#pragma once
// Pieces the work screens are built from: panels their owner paints, their
// header font and background, layouts whose panels fit edge to edge, the
// long-date picker, the conversion between the picker's dates and whole days,
// and the day totals' colours.

#include "foundation/ZEP_Dates.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QWidget>

#include <functional>

class QBoxLayout;
class QDateEdit;
class QPainter;

namespace tessel {

// A panel drawn by its owner, which may also follow its size and its clicks.
class PaintedPanel final : public QWidget {
  Q_OBJECT
public:
  explicit PaintedPanel(const char* name, QWidget* parent = nullptr);
  std::function<void(QPainter&)> paint;
  std::function<void()> resized;
  std::function<void()> clicked;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The bold font of the headers' titles and of the timetable's totals.
QFont HeaderFont();
// The widget's own background in `colour` (the work screens' WorkspaceColour).
void SetBackground(QWidget& widget, const QColor& colour);

// A box layout of `owner` without margins or spacing (a QVBoxLayout or a QHBoxLayout).
template <typename Layout>
Layout* FlatLayout(QWidget* owner) {
  auto* layout = new Layout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

// A date picker showing the long date of the French locale, with its
// calendar, on today; wide enough for the longest date.
QDateEdit* NewLongDatePicker(const char* name, QWidget* parent = nullptr);
inline constexpr int DatePickerHeight = 23;

TDateTime DayOfDate(const QDate& date);
QDate DateOfDay(TDateTime day);

// A day's total in black, in yellow from 8 hours, in red from 24.
QColor DayTotalColour(TDateTime total);
// Draws a day's total at (x, y) in its colour; yellow and red get a dark
// shadow so that they read on the light end of a gradient.
void DrawDayTotal(QPainter& painter, int x, int y, const QString& text, const QColor& colour);

} // namespace tessel
