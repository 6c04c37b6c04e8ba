#pragma once
// The header of the content editor: title, "Réalisée", "Evènement", the
// satisfaction list and, when the content's taxonomy has objects, the themes
// panel with its "+" button.

#include "ui/LinkedNodeList.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QToolButton;

namespace tessel {

class Mcontenu;

class TFrame_entete_contenu : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_entete_contenu(QWidget* parent = nullptr);
  ~TFrame_entete_contenu() override;

  void SetLanguage(int languageIndex);
  // The themes of `cls`'s taxonomy are offered while that taxonomy has
  // objects: the panel shows only then.
  void SetEditedClass(const ClassRef& cls);
  // Title emptied, satisfaction back to six entries with 0 selected; the
  // check boxes keep their state.
  void Clear(bool editable);
  void ShowContent(Mcontenu& content);
  void SaveContent(Mcontenu& content);

  // The themes the content will have, in the order they are stored.
  const LinkedNodeList& Themes() const { return themes_; }
  // The theme names from the last to the first, one per line.
  QString ThemesHint() const { return themes_.hint(); }

  QWidget* const Panel_entete;
  QLabel* const Label_intitule;
  QLineEdit* const Ed_titre_note;
  QCheckBox* const CB_realise;
  QCheckBox* const CB_evt;
  QComboBox* const CB_smiley;
  QSplitter* const Splitter;
  QWidget* const Panel_themes;
  QLabel* const Label_themes;
  QToolButton* const TLB_themes;
  QWidget* const PB_themes;

public slots:
  // "+": the themes chosen in the selection window replace the working list.
  void ChooseThemes();

protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void placeTitleField();
  void updateThemesPanel();
  void themesChanged();
  void paintThemes();

  const ClassRef* taxonomy_ = nullptr;
  LinkedNodeList themes_;
};

} // namespace tessel
