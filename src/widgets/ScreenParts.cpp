#include "widgets/ScreenParts.h"

#include "widgets/PaintHelpers.h"
#include "widgets/UiFonts.h"

#include <QDateEdit>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tessel {

PaintedPanel::PaintedPanel(const char* name, QWidget* parent) : QWidget(parent) {
  setObjectName(QLatin1String(name));
}

void PaintedPanel::paintEvent(QPaintEvent*) {
  if (!paint) return;
  QPainter painter(this);
  paint(painter);
}

void PaintedPanel::resizeEvent(QResizeEvent*) {
  if (resized) resized();
}

void PaintedPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (clicked && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) clicked();
}

QFont HeaderFont() {
  QFont font = MsSansSerif(10);
  font.setBold(true);
  return font;
}

void SetBackground(QWidget& widget, const QColor& colour) {
  widget.setAutoFillBackground(true);
  QPalette colours = widget.palette();
  colours.setColor(QPalette::Window, colour);
  widget.setPalette(colours);
}

namespace {

// Keeps its width fitting the longest date in its font, which the screens
// often change (a bold header band) after making it.
class LongDatePicker final : public QDateEdit {
public:
  using QDateEdit::QDateEdit;
  QSize sizeHint() const override { return {fittingWidth(), DatePickerHeight}; }
  QSize minimumSizeHint() const override { return sizeHint(); }
  void fit() { resize(sizeHint()); }

protected:
  void changeEvent(QEvent* event) override {
    QDateEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) fit();
  }

private:
  int fittingWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("mercredi 30 septembre 2000")) + 40;
  }
};

} // namespace

QDateEdit* NewLongDatePicker(const char* name, QWidget* parent) {
  auto* picker = new LongDatePicker(parent);
  picker->setObjectName(QLatin1String(name));
  picker->setCalendarPopup(true);
  picker->setLocale(dateLocale());
  picker->setDisplayFormat(dateLocale().dateFormat(QLocale::LongFormat));
  picker->setDate(QDate::currentDate());
  picker->fit();
  return picker;
}

TDateTime DayOfDate(const QDate& date) { return EncodeDate(date.year(), date.month(), date.day()); }

QDate DateOfDay(TDateTime day) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  return QDate(y, m, d);
}

QColor DayTotalColour(TDateTime total) {
  const int hours = TotalHours(total);
  if (hours > 23) return Qt::red;
  if (hours > 7) return Qt::yellow;
  return Qt::black;
}

void DrawDayTotal(QPainter& painter, int x, int y, const QString& text, const QColor& colour) {
  if (colour != Qt::black) {
    painter.setPen(QColor(64, 64, 64));
    DrawEmbossedText(painter, x + 1, y + 1, PlainText, text);
  }
  painter.setPen(colour);
  DrawEmbossedText(painter, x, y, PlainText, text);
}

} // namespace tessel
