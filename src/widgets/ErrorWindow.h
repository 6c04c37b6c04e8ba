#pragma once
// The engine's small maroon error window: a borderless box with the message
// in white italics and a flat "OK" button.

#include <QDialog>

class QPushButton;
class QTextEdit;

namespace tessel {

class TForme_erreur : public QDialog {
  Q_OBJECT
public:
  explicit TForme_erreur(QWidget* parent = nullptr);

  // Creates the window, shows `text` in it (CR LF separates lines) modally
  // and frees it when it closes.
  static void ShowError(const QString& text, QWidget* parent = nullptr);

  // Clears the box, then puts `text` into it.
  void setMessage(const QString& text);

  QTextEdit* const RE;
  QPushButton* const SpeedButton1;

protected:
  void paintEvent(QPaintEvent* event) override;
};

} // namespace tessel
