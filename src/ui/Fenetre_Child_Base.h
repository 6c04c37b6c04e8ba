#pragma once
// Base of the small editor windows: a window that stays above the others and
// sees the keys typed in it before the control that has the focus.

#include <QDialog>

class QKeyEvent;

namespace tessel {

class TMDI_base : public QDialog {
  Q_OBJECT
public:
  explicit TMDI_base(QWidget* parent = nullptr);
  ~TMDI_base() override;

protected:
  // Every key pressed anywhere in the window comes here first; answering
  // true keeps it from the focused control.
  virtual bool PreviewKey(QKeyEvent& event);

  bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tessel
