#pragma once
// The label of a timetable row: the activity's picture and name on its
// colour, painted from the screen's week; a right click asks for the row's
// menu.

#include <QWidget>

namespace tessel {

class TFrame_emploi_du_temps;

class TimetableRowLabel final : public QWidget {
  Q_OBJECT
public:
  TimetableRowLabel(const TFrame_emploi_du_temps& screen, int row, QWidget* parent);

signals:
  void menuRequested(int row, const QPoint& globalPos);

protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  const TFrame_emploi_du_temps& screen_;
  const int row_;
};

} // namespace tessel
