#pragma once
// The timetable cells' context menu: a submenu per hour from 0:00 to 8:00,
// each offering its four quarters.

#include <QMenu>
#include <QString>

namespace tessel {

class QuarterHourMenu final : public QMenu {
  Q_OBJECT
public:
  explicit QuarterHourMenu(QWidget* parent = nullptr);

  // Runs the menu at `globalPos`: the time chosen ("h:mm"), empty when the
  // menu closed without a choice.
  QString choose(const QPoint& globalPos);
};

} // namespace tessel
