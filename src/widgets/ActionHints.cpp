#include "widgets/ActionHints.h"

#include <QAction>

namespace tessel {

void SetCaption(QAction* action, const QString& caption) {
  action->setText(caption);
  action->setIconText(caption);
}

void SetHint(QAction* action, const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  action->setToolTip(bar < 0 ? hint : hint.left(bar));
  action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

} // namespace tessel
