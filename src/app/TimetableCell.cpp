#include "app/TimetableCell.h"

#include "app/QuarterHourMenu.h"
#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"
#include "widgets/PaintHelpers.h"
#include "widgets/UiFonts.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>

namespace tessel {

namespace {

// One optional and one required hour digit, ":", two required minute
// digits, blanks shown as "_". (Qt's mask letters are the reverse of the
// designed ones: 9 is a required digit, 0 an optional one; the optional hour
// digit comes second so that "7:30" can be typed as it is read.)
const QString TimeMask = QStringLiteral("90:99;_");

// A popup menu or another window taking the focus for a while neither
// leaves the cell nor enters it again.
bool userMove(const QFocusEvent* event) {
  return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}

} // namespace

TimetableCell::TimetableCell(int row, int day, bool freeText, QuarterHourMenu* quarterHours, QWidget* parent)
    : QLineEdit(parent), row(row), day(day), freeText(freeText), quarterHours_(quarterHours) {
  setObjectName(QStringLiteral("Ed_%1_%2").arg(row + 1).arg(day + 1));
  // Size 12 in the narrow face of the design, so that a time fits the cell.
  setFont(Arial(12));
  if (!freeText) setInputMask(TimeMask);
  setToolTip(QStringLiteral("Aucune note"));
  connect(this, &QLineEdit::textEdited, this, &TimetableCell::edited);
}

void TimetableCell::setBackground(const QColor& colour) {
  QPalette p = palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Base, colour);
    p.setColor(group, QPalette::Text, ReadableColour(Qt::black, colour));
  }
  setPalette(p);
}

bool TimetableCell::emptyMask() const {
  const QString typed = text();
  return !freeText && std::none_of(typed.begin(), typed.end(), [](QChar c) { return c.isDigit(); });
}

bool TimetableCell::event(QEvent* event) {
  // Undo and redo keys undo the text being typed; over a committed time
  // they go to the document's history.
  if (event->type() == QEvent::ShortcutOverride && !isModified()) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination combination = key->keyCombination();
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
        combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
      event->ignore();
      return false;
    }
  }
  return QLineEdit::event(event);
}

void TimetableCell::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool modifierOnly = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                            key == Qt::Key_Meta || key == Qt::Key_AltGr;
  const bool hadTime = IsNonZeroDuration(toCp1252(text()));
  // A shortcut pressed where no time is typed leaves the mask as it is.
  const bool shortcut = event->modifiers() & Qt::ControlModifier;
  if (emptyMask() && !modifierOnly && !shortcut) {
    // Typed characters then replace the whole text.
    setText(QStringLiteral("00:00"));
    selectAll();
  }
  switch (key) {
  case Qt::Key_Delete:
    // The next commit deletes the entry.
    setText(QStringLiteral("00:00"));
    selectAll();
    if (hadTime) {
      setModified(true);
      emit edited();
    }
    return;
  case Qt::Key_Return:
  case Qt::Key_Enter: emit moveRequested(Move::Next); return;
  case Qt::Key_Up: emit moveRequested(Move::Up); return;
  case Qt::Key_Down: emit moveRequested(Move::Down); return;
  case Qt::Key_Escape:
    setText(committedText);
    setModified(false);
    selectAll();
    return;
  default: break;
  }
  QLineEdit::keyPressEvent(event);
}

// Whatever way the cell is entered, its text is selected, so that what the
// user types replaces it.
void TimetableCell::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (entered_ && !userMove(event)) return;
  if (event->reason() == Qt::MouseFocusReason) selectOnPress_ = true;
  else selectAll();
  entered_ = true;
  emit entered();
}

void TimetableCell::mousePressEvent(QMouseEvent* event) {
  QLineEdit::mousePressEvent(event);
  if (selectOnPress_) selectAll();
  selectOnPress_ = false;
}

void TimetableCell::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (!userMove(event)) return;
  entered_ = false;
  emit left();
}

void TimetableCell::contextMenuEvent(QContextMenuEvent* event) {
  const QPointer<TimetableCell> guard(this);
  const QString time = quarterHours_->choose(event->globalPos());
  if (!guard || time.isEmpty()) return;
  setText(time);
  setModified(true);
  emit edited();
  emit quarterHourChosen();
}

} // namespace tessel
