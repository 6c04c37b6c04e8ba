#pragma once
// The category dialog: edits the name, description, colour and picture of a
// taxonomy node. `TdefCat_Dialog` is the wrapper the callers create for one
// use: they copy a node's values into its properties, call Execute() and, when
// it answers true, copy the properties back. It knows nothing of the nodes.

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace tessel {

// A rounded square filled with a colour; a mouse press asks for another one.
class ColourSquare : public QWidget {
  Q_OBJECT
public:
  explicit ColourSquare(QWidget* parent = nullptr);
  QColor Colour() const { return colour_; }
  void SetColour(const QColor& colour);

signals:
  void pressed();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  // Reached with Tab like the other fields; Space opens the colours.
  void keyPressEvent(QKeyEvent* event) override;

private:
  QColor colour_ = Qt::white;
};

class TForme_DefCatDialog : public QDialog {
  Q_OBJECT
public:
  explicit TForme_DefCatDialog(QWidget* parent = nullptr);

  // The picture shown on SB_def_cat.
  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture);
  QColor Colour() const;
  void SetColour(const QColor& colour);

  // Every way of closing ends here; refused while the name is blank.
  void done(int result) override;

  QLabel* const Label_message;
  QLineEdit* const Ed_nom_categorie;
  QToolButton* const SB_def_cat;
  QLabel* const Label_description;
  QTextEdit* const RE_description_categorie;
  ColourSquare* const Shape_couleur;
  QPushButton* const BB_oui;
  QPushButton* const BB_annuler;

public slots:
  // Runs the picture chooser; its answer replaces the picture.
  void ChoosePicture();
  // Runs the colour dialog; its answer replaces the colour.
  void ChooseColour();

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage picture_;
};

class TdefCat_Dialog : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString cat_nom MEMBER cat_nom)
  Q_PROPERTY(QString cat_nom_par_defaut MEMBER cat_nom_par_defaut)
  Q_PROPERTY(QString cat_description MEMBER cat_description)
  Q_PROPERTY(QColor cat_couleur MEMBER cat_couleur)
  Q_PROPERTY(bool cat_couleur_modif MEMBER cat_couleur_modif)
  Q_PROPERTY(QString cat_caption MEMBER cat_caption)
  Q_PROPERTY(QImage cat_bitmap MEMBER cat_bitmap)

public:
  explicit TdefCat_Dialog(QWidget* owner = nullptr);
  ~TdefCat_Dialog() override;

  // Shows the window modally. True when the user confirmed with "&Oui"; the
  // properties then hold the edited values. False leaves them unchanged.
  bool Execute();

  TForme_DefCatDialog* Window() const { return window_; }

  QString cat_nom;             // the name, in and out
  QString cat_nom_par_defaut;  // shown when cat_nom is empty
  QString cat_description;     // lines end with "\n" on the way out
  QColor cat_couleur = Qt::white;
  bool cat_couleur_modif = false; // the colour square is shown only when true
  QString cat_caption;         // the window's caption
  QImage cat_bitmap;           // the picture, in and out; may be null

private:
  QPointer<TForme_DefCatDialog> window_;
};

} // namespace tessel
