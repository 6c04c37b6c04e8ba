// The category dialog: what it shows, what it hands back, the refusal to
// close with a blank name, its picture button and colour square.

#include "ui/Fenetre_definition_categorie.h"

#include "UiTestHelpers.h"
#include "foundation/Cp1252.h"
#include "support/RecordingPrompts.h"
#include "ui/Bmpdialog.h"
#include "widgets/PaintHelpers.h"

#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::RecordingPrompts;
using tessel::test::writeBitmap;

namespace {

const std::string EmptyNameMessage("Nom Catégorie Vide !"_w);

QImage filled(QSize size, const QColor& colour) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  return picture;
}

} // namespace

class CategoryDialogTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void layout();
  void nameShown_data();
  void nameShown();
  void blankNameRefusesEveryWayOfClosing_data();
  void blankNameRefusesEveryWayOfClosing();
  void editing_data();
  void editing();
  void colourSquareOnlyWhenEditable_data();
  void colourSquareOnlyWhenEditable();
  void tabFollowsTheReadingOrder_data();
  void tabFollowsTheReadingOrder();
  void pictureButtonRunsTheChooser_data();
  void pictureButtonRunsTheChooser();

private:
  QTemporaryDir home_;
  std::unique_ptr<RecordingPrompts> prompts_;
  QString startDirectory_;
};

void CategoryDialogTest::initTestCase() {
  QVERIFY(home_.isValid());
  // The picture chooser writes its settings file under the configuration folder.
  qputenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit());
  startDirectory_ = QDir::currentPath();
}

void CategoryDialogTest::init() { prompts_ = std::make_unique<RecordingPrompts>(); }

void CategoryDialogTest::cleanup() {
  prompts_.reset();
  QDir::setCurrent(startDirectory_);
}

void CategoryDialogTest::layout() {
  TForme_DefCatDialog window;
  QCOMPARE(window.size(), QSize(296, 180));
  const std::pair<QWidget*, QRect> designed[] = {
      {window.Ed_nom_categorie, {8, 32, 217, 21}},
      {window.SB_def_cat, {232, 8, 49, 49}},
      {window.RE_description_categorie, {8, 80, 217, 49}},
      {window.Shape_couleur, {232, 80, 49, 49}},
      {window.BB_oui, {64, 144, 75, 25}},
      {window.BB_annuler, {168, 144, 75, 25}},
  };
  for (const auto& [widget, rect] : designed) QCOMPARE(widget->geometry(), rect);
  QCOMPARE(window.Label_message->pos(), QPoint(8, 16));
  QCOMPARE(window.Label_message->text(), QStringLiteral("Label_message"));
  QCOMPARE(window.Label_description->pos(), QPoint(8, 64));
  QCOMPARE(window.Label_description->text(), QStringLiteral("Description :"));
  QCOMPARE(window.BB_oui->text(), QStringLiteral("&Oui"));
  QCOMPARE(window.BB_annuler->text(), QStringLiteral("Annuler"));
  QVERIFY(window.SB_def_cat->autoRaise());
  QCOMPARE(window.SB_def_cat->cursor().shape(), Qt::PointingHandCursor);
  QCOMPARE(window.Shape_couleur->cursor().shape(), Qt::PointingHandCursor);

  // Gradient from white at the top to button face at the bottom.
  const QImage shot = window.grab().toImage();
  QCOMPARE(shot.pixelColor(150, 0), QColor(Qt::white));
  const QColor face = ButtonFaceColour();
  const QColor bottom = shot.pixelColor(150, 179);
  QVERIFY(qAbs(bottom.red() - face.red()) <= 2 && qAbs(bottom.green() - face.green()) <= 2 &&
          qAbs(bottom.blue() - face.blue()) <= 2);
}

void CategoryDialogTest::nameShown_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("defaultName");
  QTest::addColumn<QString>("shown");

  QTest::newRow("empty name: the default") << "" << "Nouvelle catégorie" << "Nouvelle catégorie";
  QTest::newRow("a name: that name") << "Réunion" << "Nouvelle catégorie" << "Réunion";
}

void CategoryDialogTest::nameShown() {
  QFETCH(QString, name);
  QFETCH(QString, defaultName);
  QFETCH(QString, shown);
  TdefCat_Dialog dialog;
  dialog.cat_nom = name;
  dialog.cat_nom_par_defaut = defaultName;
  QString seen;
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    seen = window->Ed_nom_categorie->text();
    window->BB_oui->click();
  });
  QVERIFY(dialog.Execute());
  QCOMPARE(seen, shown);
  // Confirming keeps what the field showed.
  QCOMPARE(dialog.cat_nom, shown);
  QCOMPARE(dialog.cat_nom_par_defaut, defaultName);
  QVERIFY(prompts_->shown.empty());
}

void CategoryDialogTest::blankNameRefusesEveryWayOfClosing_data() {
  QTest::addColumn<QString>("way");
  QTest::addColumn<QString>("blank");

  QTest::newRow("Annuler") << "Annuler" << "";
  QTest::newRow("&Oui") << "Oui" << "";
  QTest::newRow("close box") << "close" << "";
  QTest::newRow("Escape") << "Escape" << "";
  QTest::newRow("spaces only, Annuler") << "Annuler" << "   ";
  QTest::newRow("spaces only, &Oui") << "Oui" << " \t ";
}

void CategoryDialogTest::blankNameRefusesEveryWayOfClosing() {
  QFETCH(QString, way);
  QFETCH(QString, blank);
  TdefCat_Dialog dialog;
  dialog.cat_nom = blank;
  bool stayedOpen = false;
  QWidget* focused = nullptr;
  std::vector<RecordingPrompts::Shown> shownWhileBlank;

  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    const auto closeTheWay = [&] {
      if (way == "Annuler") window->BB_annuler->click();
      else if (way == "Oui") window->BB_oui->click();
      else if (way == "close") window->close();
      else QTest::keyClick(window, Qt::Key_Escape);
    };
    window->RE_description_categorie->setFocus();
    closeTheWay();
    stayedOpen = window->isVisible();
    focused = window->focusWidget();
    shownWhileBlank = prompts_->shown;
    window->Ed_nom_categorie->setText(QStringLiteral("Réunion"));
    closeTheWay();
  });
  const bool confirmed = dialog.Execute();

  QVERIFY(stayedOpen);
  QCOMPARE(shownWhileBlank.size(), size_t(1));
  QCOMPARE(shownWhileBlank[0].kind, RecordingPrompts::Kind::Warning);
  QCOMPARE(shownWhileBlank[0].text, EmptyNameMessage);
  QCOMPARE(focused, dialog.Window()->Ed_nom_categorie);
  // Once named, the window closes the same way, without a second message.
  QVERIFY(!dialog.Window()->isVisible());
  QCOMPARE(prompts_->shown.size(), size_t(1));
  QCOMPARE(confirmed, way == "Oui");
  QCOMPARE(dialog.cat_nom, confirmed ? QStringLiteral("Réunion") : blank);
}

void CategoryDialogTest::editing_data() {
  QTest::addColumn<bool>("confirm");
  QTest::newRow("&Oui hands the edited values back") << true;
  QTest::newRow("Annuler leaves the values") << false;
}

void CategoryDialogTest::editing() {
  QFETCH(bool, confirm);
  const QImage picture = filled({16, 16}, Qt::red);
  const QColor colour = ColourFromBgr(0x00336699);
  TdefCat_Dialog dialog;
  dialog.cat_nom = QStringLiteral("Projet");
  dialog.cat_nom_par_defaut = QStringLiteral("Nouvelle catégorie");
  dialog.cat_description = QStringLiteral("Ligne 1\r\nLigne 2");
  dialog.cat_couleur = colour;
  dialog.cat_couleur_modif = true;
  dialog.cat_caption = QStringLiteral("Modifier la catégorie");
  dialog.cat_bitmap = picture;

  struct Seen {
    QString caption, name, description;
    QColor colour;
    QImage picture;
    bool iconShown = false;
  } seen;
  const QColor chosen(10, 200, 30);
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    seen = {window->windowTitle(), window->Ed_nom_categorie->text(),
            window->RE_description_categorie->toPlainText(), window->Colour(), window->Picture(),
            !window->SB_def_cat->icon().isNull()};
    window->Ed_nom_categorie->setText(QStringLiteral("Projet Tessel"));
    window->RE_description_categorie->setPlainText(QStringLiteral("Autre\ntexte"));
    // A press on the colour square opens the colour dialog.
    onNextModal<QColorDialog>([&](QColorDialog* colours) {
      colours->setCurrentColor(chosen);
      colours->accept();
    });
    QTest::mouseClick(window->Shape_couleur, Qt::LeftButton);
    QCOMPARE(window->Colour(), chosen);
    window->SetPicture(QImage());
    (confirm ? window->BB_oui : window->BB_annuler)->click();
  });
  QCOMPARE(dialog.Execute(), confirm);

  QCOMPARE(seen.caption, QStringLiteral("Modifier la catégorie"));
  QCOMPARE(seen.name, QStringLiteral("Projet"));
  QCOMPARE(seen.description, QStringLiteral("Ligne 1\nLigne 2"));
  QCOMPARE(seen.colour, colour);
  QCOMPARE(seen.picture, picture);
  QVERIFY(seen.iconShown);
  if (confirm) {
    QCOMPARE(dialog.cat_nom, QStringLiteral("Projet Tessel"));
    QCOMPARE(dialog.cat_description, QStringLiteral("Autre\ntexte"));
    QCOMPARE(dialog.cat_couleur, chosen);
    QVERIFY(dialog.cat_bitmap.isNull());
  } else {
    QCOMPARE(dialog.cat_nom, QStringLiteral("Projet"));
    QCOMPARE(dialog.cat_description, QStringLiteral("Ligne 1\r\nLigne 2"));
    QCOMPARE(dialog.cat_couleur, colour);
    QCOMPARE(dialog.cat_bitmap, picture);
  }
  QVERIFY(prompts_->shown.empty());
}

void CategoryDialogTest::colourSquareOnlyWhenEditable_data() {
  QTest::addColumn<bool>("editable");
  QTest::newRow("editable") << true;
  QTest::newRow("not editable") << false;
}

void CategoryDialogTest::colourSquareOnlyWhenEditable() {
  QFETCH(bool, editable);
  TdefCat_Dialog dialog;
  dialog.cat_nom = QStringLiteral("Réunion");
  dialog.cat_couleur_modif = editable;
  bool shown = !editable;
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    shown = window->Shape_couleur->isVisible();
    window->BB_oui->click();
  });
  QVERIFY(dialog.Execute());
  QCOMPARE(shown, editable);
  QCOMPARE(dialog.cat_couleur, QColor(Qt::white));
}

void CategoryDialogTest::tabFollowsTheReadingOrder_data() {
  QTest::addColumn<bool>("colourEditable");
  QTest::addColumn<QStringList>("order");
  QTest::newRow("with the colour square")
      << true << QStringList{"Ed_nom_categorie", "RE_description_categorie", "Shape_couleur", "SB_def_cat", "BB_oui",
                             "BB_annuler", "Ed_nom_categorie"};
  QTest::newRow("without it")
      << false << QStringList{"Ed_nom_categorie", "RE_description_categorie", "SB_def_cat", "BB_oui", "BB_annuler",
                              "Ed_nom_categorie"};
}

// Typed as a user does: Tab from the name, then a text starting with a blank.
void CategoryDialogTest::tabFollowsTheReadingOrder() {
  QFETCH(bool, colourEditable);
  QFETCH(QStringList, order);
  TdefCat_Dialog dialog;
  dialog.cat_nom = QStringLiteral("Projet");
  dialog.cat_couleur_modif = colourEditable;
  QStringList visited;
  QString typed;
  bool colourDialogOpened = false;
  bool pictureChooserOpened = false;
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), window->Ed_nom_categorie);
    visited << window->focusWidget()->objectName();
    // A picture chooser opened by mistake is closed again, and noted.
    auto* guard = new QTimer(window);
    guard->setInterval(200);
    connect(guard, &QTimer::timeout, [&pictureChooserOpened] {
      if (auto* chooser = qobject_cast<TBmp_dialog*>(QApplication::activeModalWidget())) {
        pictureChooserOpened = true;
        chooser->reject();
      }
    });
    guard->start();
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    // A blank typed in the description is text, nothing else.
    QTest::keyClicks(window->focusWidget(), QStringLiteral(" deux mots"));
    typed = window->RE_description_categorie->toPlainText();
    visited << window->focusWidget()->objectName();
    while (visited.size() < order.size()) {
      QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
      visited << window->focusWidget()->objectName();
      // Space on the colour square opens the colours, as a click does.
      if (window->focusWidget() == window->Shape_couleur) {
        onNextModal<QColorDialog>([&](QColorDialog* colours) {
          colourDialogOpened = true;
          colours->reject();
        });
        QTest::keyClick(window->Shape_couleur, Qt::Key_Space);
        // The window system gives the keyboard back to the dialog.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
      }
    }
    window->BB_annuler->click();
  });
  QVERIFY(!dialog.Execute());
  QCOMPARE(visited, order);
  QCOMPARE(typed, QStringLiteral(" deux mots"));
  QCOMPARE(colourDialogOpened, colourEditable);
  QVERIFY(!pictureChooserOpened);
}

void CategoryDialogTest::pictureButtonRunsTheChooser_data() {
  QTest::addColumn<QString>("chooserAction");
  QTest::addColumn<QString>("picture"); // "file", "empty" or "unchanged"

  QTest::newRow("Valider") << "Valider" << "file";
  QTest::newRow("Effacer") << "Effacer" << "empty";
  QTest::newRow("Annuler") << "Annuler" << "unchanged";
}

void CategoryDialogTest::pictureButtonRunsTheChooser() {
  QFETCH(QString, chooserAction);
  QFETCH(QString, picture);
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString path = writeBitmap(folder.path(), QStringLiteral("Pause.bmp"), {16, 16}, Qt::blue);
  QVERIFY(QDir::setCurrent(folder.path()));
  const QImage before = filled({8, 8}, Qt::red);

  TdefCat_Dialog dialog;
  dialog.cat_nom = QStringLiteral("Pause");
  dialog.cat_caption = QStringLiteral("Modifier");
  dialog.cat_bitmap = before;
  QString captionAfter;
  QImage shownAfter;
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    onNextModal<TBmp_dialog>([&](TBmp_dialog* chooser) {
      chooser->LB_bmp->setCurrentRow(0);
      if (chooserAction == "Valider") chooser->Act_valider->trigger();
      else if (chooserAction == "Effacer") chooser->Act_effacer->trigger();
      else chooser->Act_annuler->trigger();
    });
    window->SB_def_cat->click();
    captionAfter = window->windowTitle();
    shownAfter = window->Picture();
    window->BB_oui->click();
  });
  QVERIFY(dialog.Execute());

  QCOMPARE(captionAfter, QStringLiteral("Définition Catégorie"));
  const QImage expected = picture == "file" ? QImage(path) : picture == "empty" ? QImage() : before;
  QCOMPARE(shownAfter, expected);
  QCOMPARE(dialog.cat_bitmap, expected);
  QCOMPARE(dialog.Window()->Label_message->text(), QStringLiteral("Label_message"));
  QCOMPARE(dialog.Window()->Label_description->text(), QStringLiteral("Description :"));
}

QTEST_MAIN(CategoryDialogTest)
#include "Fenetre_definition_categorie_test.moc"
