#include "ui/Fenetre_Child_Base.h"

#include <QApplication>
#include <QKeyEvent>

namespace tessel {

TMDI_base::TMDI_base(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
  // Keys reach the focused control first; the application's filter is the
  // one place that sees them before it.
  qApp->installEventFilter(this);
}

TMDI_base::~TMDI_base() { qApp->removeEventFilter(this); }

bool TMDI_base::PreviewKey(QKeyEvent&) { return false; }

bool TMDI_base::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    // A key the window does not use passes here again as it propagates from
    // the control to its parents; PreviewKey then declines it again.
    if (static_cast<QWidget*>(watched)->window() == this && PreviewKey(*static_cast<QKeyEvent*>(event)))
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

} // namespace tessel
