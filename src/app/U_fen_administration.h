#pragma once
// The administration window: the users of the document, each edited with the
// person editor. Modal, made once and kept; every showing starts afresh from
// the document's users, and closing stores what the editor shows.

#include <QDialog>

namespace tessel {

class TFrame_administration;

class TForme_administration : public QDialog {
  Q_OBJECT
public:
  explicit TForme_administration(QWidget* parent = nullptr);
  ~TForme_administration() override;

  // The user tabs again (after New and Open), in the workspace colour.
  void RefreshUsers();

  QWidget* const PB_bandeau;
  TFrame_administration* const Frame_administration;

  // Stores the editor's fields first; stays open when they could not be.
  void done(int result) override;

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tessel
