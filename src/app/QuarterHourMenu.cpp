#include "app/QuarterHourMenu.h"

#include <QAction>

namespace tessel {

QuarterHourMenu::QuarterHourMenu(QWidget* parent) : QMenu(parent) {
  setObjectName(QStringLiteral("PM_quart_heure"));
  for (int h = 0; h <= 8; ++h) {
    QMenu* hour = addMenu(QStringLiteral("%1:00").arg(h));
    for (const char* minutes : {"00", "15", "30", "45"})
      hour->addAction(QStringLiteral("%1:%2").arg(h).arg(QLatin1String(minutes)))->setData(true);
  }
}

QString QuarterHourMenu::choose(const QPoint& globalPos) {
  // Only the quarters carry data; an hour's own entry opens its submenu.
  const QAction* chosen = exec(globalPos);
  return chosen && chosen->data().toBool() ? chosen->text() : QString();
}

} // namespace tessel
