#pragma once
// The note viewer: the title of a note on a coloured band with its
// satisfaction picture, the pictures of its taxonomy links and its text, read
// only. Its "+ " button opens the note (or a new comment) in an editor window.
// It shows nothing once the document is about to close.

#include "ui/Cadre_OAOR.h"

#include <QColor>

class QTextEdit;
class QToolButton;

namespace tessel {

class TFrame_visu_OAOR : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_visu_OAOR(QWidget* parent = nullptr);
  ~TFrame_visu_OAOR() override;

  // Shows `object` (or nothing) on `colour`; an invalid colour means the
  // colour of the object's class in the class registry.
  void ShowNote(MObject_OCS* object, const QColor& colour = QColor());
  void ClearNote();
  MObject_OCS* CurrentObject() const { return object_.get(); }
  QColor Colour() const { return colour_; }

  QWidget* const Panel_haut;
  QWidget* const PB_titre;
  QToolButton* const TLB_mod;
  QWidget* const PB_icones;
  QTextEdit* const RE_texte;

public slots:
  // "+ ": the note, or a new comment, in an editor window run modally; the
  // note kept by the editor is shown afterwards.
  void OpenOrCreate();

signals:
  // After "+ ": the editor has closed, whatever it stored.
  void noteEdited();

protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void refresh();
  void paintTitle();
  void paintIcons();

  WatchedObject object_;
  QColor colour_;
};

} // namespace tessel
