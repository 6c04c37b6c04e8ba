#include "app/TimetableRowLabel.h"

#include "app/U_Frame_emploi_du_temps.h"
#include "model/U_OR_class_categorie.h"
#include "widgets/PaintHelpers.h"
#include "widgets/UiFonts.h"

#include <QContextMenuEvent>
#include <QPainter>

namespace tessel {

TimetableRowLabel::TimetableRowLabel(const TFrame_emploi_du_temps& screen, int row, QWidget* parent)
    : QWidget(parent), screen_(screen), row_(row) {
  setObjectName(QStringLiteral("PB_ligne_%1").arg(row + 1));
  setFont(Courier(10));
}

void TimetableRowLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int h = height();
  painter.setPen(Qt::black);
  painter.setBrush(screen_.rowColour(row_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (const Mcategorie* category = screen_.week().category(row_)) {
    if (const QImage* picture = category->Picture(); picture && !picture->isNull())
      painter.drawImage(QRect(2, 2, h - 6, h - 6), TObjRec::Masked(*picture));
  }
  // The running timer's elapsed time, at the right end.
  int nameWidth = width() - h;
  if (screen_.timerRow() == row_) {
    const QString elapsed = screen_.timerElapsedText();
    const int elapsedWidth = painter.fontMetrics().horizontalAdvance(elapsed) + 6;
    nameWidth -= elapsedWidth;
    const QRect box(width() - elapsedWidth - 1, 1, elapsedWidth, h - 2);
    painter.fillRect(box, QColor(160, 0, 0));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, elapsed);
  }
  const QString name = FitText(painter, QRect(0, 0, nameWidth, h), screen_.rowName(row_), QStringLiteral("..."));
  painter.setPen(ReadableColour(Qt::black, screen_.rowColour(row_)));
  DrawEmbossedText(painter, h + 5, 3, PlainText, name);
}

void TimetableRowLabel::contextMenuEvent(QContextMenuEvent* event) { emit menuRequested(row_, event->globalPos()); }

} // namespace tessel
