#pragma once
// The object list frame: the objects of one class not chosen yet on top, the
// chosen ones ("Résultats") below. Enter, a double click, "Voir" or a drag to
// the results chooses an object; Delete in the results gives it back.

#include "objects/U_class_OBJ_avec_OBJ_REC.h"
#include "widgets/IconSet.h"

#include <QString>
#include <QWidget>

#include <optional>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QSplitter;
class QStackedWidget;

namespace tessel {

class TFrame_obj_rec;

class TFrame_LB_obj : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_LB_obj(QWidget* parent = nullptr);
  ~TFrame_LB_obj() override;

  // Lists every loaded object of `cls` (text from `text`, sorted), minus the
  // objects of `currentChoice` and the invariant ones. The results panel shows
  // only when a current choice is given, holding a copy of it. `images` (or
  // none) gives the title picture.
  void Fill(const ClassRef& cls, const StringsWithObjects* currentChoice, bool treeMode, const TextFunction& text,
            const ImageList* images, const QString& title);

  // The results, in their order.
  StringsWithObjects Chosen() const;
  // The number of objects offered, a space and the title.
  QString TitleText() const;

public slots:
  // The selected object of the list goes to the results.
  void Choose();
  // The selected result goes back to the list, sorted into place.
  void Unchoose();

public:
  QWidget* const PB_titre;
  QStackedWidget* const PC_pages;
  QWidget* const TS_liste;
  QWidget* const TS_arbre;
  TFrame_obj_rec* const Frame_obj_rec; // on the tree page
  QListWidget* const LB_obj;
  QSplitter* const Splitter;
  QFrame* const Panel_resultats;
  QLabel* const Label_resultats;
  QListWidget* const LB_choix;
  QMenu* const PM_obj;
  QAction* const Act_creer;
  QAction* const Act_supprimer;
  QAction* const Act_voir;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void paintTitle();
  void titleChanged();

  const ClassRef* class_ = nullptr;
  QString title_;
  std::optional<ImageList> images_;
  int titleImage_ = 1;
  TextFunction text_;
  bool treeMode_ = false;
};

// The object an item of either list carries.
MObject_OCS* ItemObject(const QListWidgetItem* item);

} // namespace tessel
