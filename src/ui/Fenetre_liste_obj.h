#pragma once
// The selection window: one for the whole run. A caller places it, fills its
// frame, runs it modally and, on OK, reads the chosen list. It closes itself
// as cancelled as soon as it stops being the active window.

#include "ui/U_cadre_LB_et_arbre_rec.h"

#include <QDialog>

#include <optional>

class QPushButton;

namespace tessel {

class TForme_liste_objets : public QDialog {
  Q_OBJECT
public:
  // The first window made becomes the run's window.
  explicit TForme_liste_objets(QWidget* parent = nullptr);
  ~TForme_liste_objets() override;

  // The window of this run, or null before it is made.
  static TForme_liste_objets* instance();

  // What the editors do with it: the window's outer top-left corner at
  // `topLeft` and its outer height `height`; filled with the objects of `cls`
  // and `currentChoice` as the results; run modally. The chosen list on OK,
  // nothing on Cancel. Uses the run's window (a window of its own when there
  // is none yet).
  static std::optional<StringsWithObjects> ChooseObjects(QPoint topLeft, int height, const ClassRef& cls,
                                                         const StringsWithObjects& currentChoice,
                                                         const TextFunction& text, const ImageList* images,
                                                         const QString& title);

  TFrame_LB_obj* const Frame_LB_obj;
  QWidget* const Panel_boutons;
  QPushButton* const BB_ok;
  QPushButton* const BB_annuler;

  void done(int result) override;

protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  bool closing_ = false;
};

} // namespace tessel
