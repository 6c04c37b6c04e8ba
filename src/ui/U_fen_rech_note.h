#pragma once
// The note search window: every comment of the document by its title, in
// load order, narrowed as the user types words of its title or text; the
// chosen one shows in a note viewer, whose "+ " opens it in the content
// editor. One window for the whole run, refilled at every showing; it lets
// go of the comments when the document is about to close.

#include "model/NoteSearch.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tessel {

class MObject_OCS;
class TFrame_visu_OAOR;

class TForme_rech_note : public QDialog {
  Q_OBJECT
public:
  explicit TForme_rech_note(QWidget* parent = nullptr);
  ~TForme_rech_note() override;

  // Refills the list, then runs the window modally until "Ok" (or Escape).
  int ShowModal();

  // The comment last chosen, while it exists.
  MObject_OCS* Chosen() const;

  QWidget* const PB_entete;
  QWidget* const Panel_gauche;
  QLineEdit* const Ed_recherche;
  QLabel* const Lbl_intitules;
  QListWidget* const LB_Listsujet;
  QLabel* const Lbl_nombre;
  QFrame* const Panel_visu;
  TFrame_visu_OAOR* const Frame_visu;
  QWidget* const Panel_bas;
  QPushButton* const BB_ok;

  // The hint of a list item: the days and activities of the time entries
  // that carry the comment.
  static QString UsesHint(const std::vector<NoteUse>& uses);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void applyColour();
  void reload();
  void filter();
  void choose(QListWidgetItem* item);
  void selectChosen();
  void documentClosing();

  NoteSearch search_;
  bool filling_ = false;
};

} // namespace tessel
