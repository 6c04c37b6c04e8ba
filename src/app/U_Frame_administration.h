#pragma once
// The body of the administration window: one tab per user of the document,
// in load order, and the person editor on the user of the selected tab. The
// editor stores its fields into that user whenever the tab changes and when
// the window closes.

#include "ui/Cadre_OAOR.h"

#include <QStringList>
#include <QWidget>

class QTabBar;

namespace tessel {

class TFrame_personne;

class TFrame_administration : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_administration(QWidget* parent = nullptr);
  ~TFrame_administration() override;

  // The tabs again, one per loaded user captioned with its "nom", and the
  // editor on the first user.
  void RefreshUsers();
  // The editor on the loaded user at `index`.
  void ShowUser(int index);
  // The editor's fields into the user it shows; the document reads as
  // modified when the user changed any of them. False, with the error reported,
  // when the user could not take them (the editor keeps what was typed).
  bool SaveShownUser();
  // The user the editor shows, null when none.
  MObject_OCS* ShownUser() const { return shown_.get(); }

  QTabBar* const TC_utilisateurs;
  TFrame_personne* const Frame_personne;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void tabChanged(int index);
  void dropUsers();

  WatchedObject shown_;
  int shownIndex_ = -1;
  QStringList shownState_; // the editor as last shown or stored
};

} // namespace tessel
