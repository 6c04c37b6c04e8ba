#pragma once
// A cell of the timetable: the time spent on one activity on one day, typed
// as hours and minutes in a mask (or as free text on the rows that take it).
// The cell handles the keys and the focus; what a move, a change or a commit
// means is its screen's business, told through the signals below.

#include <QLineEdit>
#include <QString>

namespace tessel {

class QuarterHourMenu;

class TimetableCell final : public QLineEdit {
  Q_OBJECT
public:
  enum class Move { Next, Up, Down };

  TimetableCell(int row, int day, bool freeText, QuarterHourMenu* quarterHours, QWidget* parent);

  const int row;
  const int day;
  const bool freeText;
  QString committedText; // what Escape brings back

  void setBackground(const QColor& colour);
  // The mask with no digit typed: reads as no time.
  bool emptyMask() const;

signals:
  // The user changed the text: typing, or Delete over a time.
  void edited();
  // The user moved into the cell, and out of it (a popup menu or another
  // window taking the focus for a while does neither).
  void entered();
  void left();
  // Enter, Up and Down.
  void moveRequested(TimetableCell::Move move);
  // A time chosen in the quarter-hour menu, already in the cell.
  void quarterHourChosen();

protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  QuarterHourMenu* quarterHours_;
  bool entered_ = false; // between the user's move into the cell and out of it
  bool selectOnPress_ = false;
};

} // namespace tessel
