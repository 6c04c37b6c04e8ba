// The selection window and its object list frame: what a fill offers, the
// ways of choosing and un-choosing, how items are drawn, and the window
// closing itself when it loses the activation.

#include "ui/Fenetre_liste_obj.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "UiModelFixture.h"
#include "UiTestHelpers.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::UiModel;

namespace {

std::string nameOf(const MObject_OCS* object) { return object->GetString("Nom"); }

QStringList texts(const QListWidget* list) {
  QStringList result;
  for (int row = 0; row < list->count(); ++row) result << list->item(row)->text();
  return result;
}

QListWidgetItem* itemNamed(const QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  return found.size() == 1 ? found.front() : nullptr;
}

// A 16 by 16 picture in one colour; its bottom-left pixel, shown transparent,
// is white.
QImage solidPicture(const QColor& colour) {
  QImage picture(16, 16, QImage::Format_RGB32);
  picture.fill(colour);
  picture.setPixelColor(0, 15, Qt::white);
  return picture;
}

// A double click as the mouse makes it: press, release, press, release.
void doubleClick(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

enum class Way { DoubleClick, Enter, Voir, Drop };

} // namespace

Q_DECLARE_METATYPE(Way)

class SelectionWindowTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void layout();
  void filling_data();
  void filling();
  void sortedAsAFrenchReaderExpects();
  void choosingAndUnchoosing_data();
  void choosingAndUnchoosing();
  void dropsOnlyFromTheObjectList();
  void itemsOnTheirObjectsColours();
  void okAndCancel_data();
  void okAndCancel();
  void losingTheActivationClosesAsCancelled();

private:
  // Categories named after `names`, in that order.
  std::vector<TObjRec*> categories(const QStringList& names);
  std::unique_ptr<UiModel> model_;
  std::unique_ptr<TForme_liste_objets> window_;
};

void SelectionWindowTest::init() {
  model_ = std::make_unique<UiModel>();
  window_ = std::make_unique<TForme_liste_objets>();
}

void SelectionWindowTest::cleanup() {
  window_.reset();
  model_.reset();
}

std::vector<TObjRec*> SelectionWindowTest::categories(const QStringList& names) {
  std::vector<TObjRec*> made;
  for (const QString& name : names) made.push_back(TObjRec::CreateNamed(Mcategorie::Class(), toCp1252(name)));
  return made;
}

void SelectionWindowTest::layout() {
  TForme_liste_objets& window = *window_;
  QCOMPARE(TForme_liste_objets::instance(), &window);
  QCOMPARE(window.size(), QSize(373, 567));
  QCOMPARE(window.windowTitle(), QStringLiteral("Sélectionner..."));
  QCOMPARE(window.BB_ok->text(), QStringLiteral("OK"));
  QCOMPARE(window.BB_annuler->text(), QStringLiteral("Annuler"));
  QCOMPARE(window.BB_ok->geometry(), QRect(32, 8, 75, 25));
  QCOMPARE(window.BB_annuler->geometry(), QRect(128, 8, 75, 25));
  window.show();
  QCOMPARE(window.Panel_boutons->height(), 41);
  QCOMPARE(window.Frame_LB_obj->geometry(), QRect(0, 0, 373, 567 - 41));
  QCOMPARE(window.Frame_LB_obj->PB_titre->height(), 32);
  const QStringList menu{window.Frame_LB_obj->Act_creer->text(), window.Frame_LB_obj->Act_supprimer->text(),
                         window.Frame_LB_obj->Act_voir->text()};
  QCOMPARE(menu, (QStringList{"Créer", "Supprimer", "Voir"}));
  QVERIFY(window.Frame_LB_obj->Label_resultats->text().startsWith(QStringLiteral("Résultats")));
  // A second window does not replace the run's.
  TForme_liste_objets other;
  QCOMPARE(TForme_liste_objets::instance(), &window);
}

void SelectionWindowTest::filling_data() {
  QTest::addColumn<QStringList>("chosen"); // "-": no current choice
  QTest::addColumn<QStringList>("invariant");
  QTest::addColumn<QStringList>("offered");
  QTest::addColumn<QStringList>("results");
  QTest::addColumn<QString>("title");

  const QStringList none{QStringLiteral("-")};
  QTest::newRow("no current choice") << none << QStringList() << QStringList{"Pause", "Rédaction", "Réunion", "Téléphone"}
                                     << QStringList() << "4 Activités";
  QTest::newRow("two chosen already") << QStringList{"Téléphone", "Pause"} << QStringList()
                                      << QStringList{"Rédaction", "Réunion"} << QStringList{"Téléphone", "Pause"}
                                      << "2 Activités";
  QTest::newRow("invariant never offered") << QStringList() << QStringList{"Réunion"}
                                           << QStringList{"Pause", "Rédaction", "Téléphone"} << QStringList()
                                           << "3 Activités";
  QTest::newRow("chosen and invariant") << QStringList{"Réunion"} << QStringList{"Réunion", "Pause"}
                                        << QStringList{"Rédaction", "Téléphone"} << QStringList{"Réunion"}
                                        << "2 Activités";
  QTest::newRow("no current choice, invariant") << none << QStringList{"Pause"}
                                                << QStringList{"Rédaction", "Réunion", "Téléphone"} << QStringList()
                                                << "3 Activités";
}

void SelectionWindowTest::filling() {
  QFETCH(QStringList, chosen);
  QFETCH(QStringList, invariant);
  QFETCH(QStringList, offered);
  QFETCH(QStringList, results);
  QFETCH(QString, title);

  const QStringList names{"Réunion", "Pause", "Téléphone", "Rédaction"};
  const std::vector<TObjRec*> made = categories(names);
  for (const QString& name : invariant) made[std::size_t(names.indexOf(name))]->SetInvariant(true);
  const bool withChoice = chosen != QStringList{"-"};
  StringsWithObjects current;
  if (withChoice)
    for (const QString& name : chosen) current.emplace_back(toCp1252(name), made[std::size_t(names.indexOf(name))]);
  // Something left from an earlier use goes.
  TFrame_LB_obj* frame = window_->Frame_LB_obj;
  frame->LB_choix->addItem(QStringLiteral("ancien"));

  frame->Fill(Mcategorie::Class(), withChoice ? &current : nullptr, false, nameOf, &model_->module.imgListe_commun,
              QStringLiteral("Activités"));
  window_->show();
  QCOMPARE(texts(frame->LB_obj), offered);
  QCOMPARE(texts(frame->LB_choix), results);
  QCOMPARE(frame->Panel_resultats->isVisible(), withChoice);
  QCOMPARE(frame->TitleText(), title);
  QCOMPARE(frame->PC_pages->currentWidget(), frame->TS_liste);
  QVERIFY(frame->Chosen() == current);
}

void SelectionWindowTest::sortedAsAFrenchReaderExpects() {
  categories({"Zoé", "émile", "alpha", "Béatrice", "zèbre", "Eric"});
  TFrame_LB_obj* frame = window_->Frame_LB_obj;
  frame->Fill(Mcategorie::Class(), nullptr, false, nameOf, nullptr, QStringLiteral("Noms"));
  QCOMPARE(texts(frame->LB_obj), (QStringList{"alpha", "Béatrice", "émile", "Eric", "zèbre", "Zoé"}));
}

void SelectionWindowTest::choosingAndUnchoosing_data() {
  QTest::addColumn<Way>("way");
  QTest::newRow("double click") << Way::DoubleClick;
  QTest::newRow("Enter") << Way::Enter;
  QTest::newRow("Voir") << Way::Voir;
  QTest::newRow("drop on the results") << Way::Drop;
}

void SelectionWindowTest::choosingAndUnchoosing() {
  QFETCH(Way, way);
  const std::vector<TObjRec*> made = categories({"Pause", "Rédaction", "Réunion", "Téléphone"});
  const StringsWithObjects current{{"Pause", made[0]}};
  TFrame_LB_obj* frame = window_->Frame_LB_obj;
  frame->Fill(Mcategorie::Class(), &current, false, nameOf, nullptr, QStringLiteral("Activités"));
  window_->show();
  QListWidget* list = frame->LB_obj;
  QListWidgetItem* meeting = itemNamed(list, QStringLiteral("Réunion"));
  QVERIFY(meeting);
  const QPoint at = list->visualItemRect(meeting).center();

  switch (way) {
  case Way::DoubleClick:
    doubleClick(list->viewport(), at);
    break;
  case Way::Enter:
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(list, Qt::Key_Return);
    break;
  case Way::Voir:
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    frame->Act_voir->trigger();
    break;
  case Way::Drop: {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    std::unique_ptr<QMimeData> data(list->model()->mimeData(list->selectionModel()->selectedIndexes()));
    QWidget* target = frame->LB_choix->viewport();
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(middle, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction); // the list itself takes the item out
    break;
  }
  }
  QCOMPARE(texts(frame->LB_choix), (QStringList{"Pause", "Réunion"}));
  QCOMPARE(texts(list), (QStringList{"Rédaction", "Téléphone"}));
  QCOMPARE(frame->TitleText(), QStringLiteral("2 Activités"));
  QVERIFY((frame->Chosen().back() == std::pair<std::string, MObject_OCS*>("Réunion"_w, made[2])));
  // Nothing closed the window (Enter is the list's, not the OK button's).
  QVERIFY(window_->isVisible());

  // Delete in the results gives it back, sorted into place.
  QListWidgetItem* chosen = itemNamed(frame->LB_choix, QStringLiteral("Réunion"));
  QTest::mouseClick(frame->LB_choix->viewport(), Qt::LeftButton, {},
                    frame->LB_choix->visualItemRect(chosen).center());
  QTest::keyClick(frame->LB_choix, Qt::Key_Delete);
  QCOMPARE(texts(list), (QStringList{"Rédaction", "Réunion", "Téléphone"}));
  QCOMPARE(texts(frame->LB_choix), QStringList{"Pause"});
  QCOMPARE(frame->TitleText(), QStringLiteral("3 Activités"));

  // Without a selection the keys do nothing.
  list->clearSelection();
  frame->LB_choix->clearSelection();
  QTest::keyClick(list, Qt::Key_Return);
  QTest::keyClick(frame->LB_choix, Qt::Key_Delete);
  QCOMPARE(list->count(), 3);
  QCOMPARE(frame->LB_choix->count(), 1);
  QVERIFY(window_->isVisible());
}

void SelectionWindowTest::dropsOnlyFromTheObjectList() {
  categories({"Pause", "Réunion"});
  const StringsWithObjects none;
  TFrame_LB_obj* frame = window_->Frame_LB_obj;
  frame->Fill(Mcategorie::Class(), &none, false, nameOf, nullptr, QStringLiteral("Activités"));
  window_->show();
  frame->LB_obj->setCurrentRow(0);

  QMimeData text;
  text.setText(QStringLiteral("Pause"));
  // What another frame's list would carry.
  TFrame_LB_obj otherFrame;
  otherFrame.Fill(Mcategorie::Class(), &none, false, nameOf, nullptr, QString());
  otherFrame.LB_obj->setCurrentRow(0);
  std::unique_ptr<QMimeData> foreign(
      otherFrame.LB_obj->model()->mimeData(otherFrame.LB_obj->selectionModel()->selectedIndexes()));
  for (QMimeData* data : {&text, foreign.get()}) {
    QWidget* target = frame->LB_choix->viewport();
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(target->rect().center(), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
  }
  QCOMPARE(frame->LB_choix->count(), 0);
  QCOMPARE(frame->LB_obj->count(), 2);
}

void SelectionWindowTest::itemsOnTheirObjectsColours() {
  const std::vector<TObjRec*> made = categories({"Bleue", "Blanche", "Rouge"});
  made[0]->SetColour(0xFF8000); // RGB(0,128,255)
  made[2]->SetColour(0x0000FF);
  const QImage green = solidPicture(QColor(0, 160, 0));
  made[0]->SetPicture(&green);
  const StringsWithObjects current{{"Rouge", made[2]}};
  TFrame_LB_obj* frame = window_->Frame_LB_obj;
  frame->Fill(Mcategorie::Class(), &current, false, nameOf, nullptr, QStringLiteral("Couleurs"));
  window_->show();
  QListWidget* list = frame->LB_obj;
  list->setCurrentItem(itemNamed(list, QStringLiteral("Blanche")));
  list->clearFocus();

  const QImage shown = list->viewport()->grab().toImage();
  const QRect blue = list->visualItemRect(itemNamed(list, QStringLiteral("Bleue")));
  const QRect white = list->visualItemRect(itemNamed(list, QStringLiteral("Blanche")));
  QCOMPARE(blue.height(), 20);
  QCOMPARE(frame->LB_choix->visualItemRect(frame->LB_choix->item(0)).height(), 18);
  const qreal ratio = shown.devicePixelRatio();
  const auto pixel = [&](int x, int y) { return shown.pixelColor(QPoint(int(x * ratio), int(y * ratio))); };
  QCOMPARE(pixel(blue.right() - 2, blue.center().y()), QColor(0, 128, 255));
  QCOMPARE(pixel(blue.left() + 8, blue.top() + 2 + 8), QColor(0, 160, 0)); // the picture, 2 pixels down
  QCOMPARE(pixel(blue.left() + 0, blue.top() + 2 + 15), QColor(0, 128, 255)); // its masked corner
  QCOMPARE(pixel(white.right() - 2, white.center().y()),
           list->palette().color(QPalette::Active, QPalette::Highlight));

  const QImage results = frame->LB_choix->viewport()->grab().toImage();
  const QRect red = frame->LB_choix->visualItemRect(frame->LB_choix->item(0));
  QCOMPARE(results.pixelColor(QPoint(int((red.right() - 2) * ratio), int(red.center().y() * ratio))),
           QColor(255, 0, 0));
}

void SelectionWindowTest::okAndCancel_data() {
  QTest::addColumn<bool>("ok");
  QTest::newRow("OK") << true;
  QTest::newRow("Annuler") << false;
}

void SelectionWindowTest::okAndCancel() {
  QFETCH(bool, ok);
  const std::vector<TObjRec*> made = categories({"Pause", "Réunion"});
  TForme_liste_objets& window = *window_;
  // Whatever a caller did to it, showing brings back its caption and OK.
  window.setWindowTitle(QStringLiteral("autre"));
  window.BB_ok->setEnabled(false);
  onNextModal<TForme_liste_objets>([&](TForme_liste_objets* shown) {
    QCOMPARE(shown->windowTitle(), QStringLiteral("Sélectionner..."));
    QVERIFY(shown->BB_ok->isEnabled());
    QListWidget* list = shown->Frame_LB_obj->LB_obj;
    doubleClick(list->viewport(), list->visualItemRect(list->item(1)).center());
    QTest::mouseClick(ok ? shown->BB_ok : shown->BB_annuler, Qt::LeftButton);
  });
  const std::optional<StringsWithObjects> chosen = TForme_liste_objets::ChooseObjects(
      QPoint(40, 30), 500, Mcategorie::Class(), StringsWithObjects{}, nameOf, nullptr, QStringLiteral("Activités"));
  QCOMPARE(chosen.has_value(), ok);
  if (ok) QVERIFY((*chosen == StringsWithObjects{{std::string("Réunion"_w), made[1]}}));
  QVERIFY(!window.isVisible());
}

void SelectionWindowTest::losingTheActivationClosesAsCancelled() {
  categories({"Pause", "Réunion"});
  TForme_liste_objets& window = *window_;
  const StringsWithObjects none;
  window.Frame_LB_obj->Fill(Mcategorie::Class(), &none, false, nameOf, nullptr, QStringLiteral("Activités"));
  bool wasActive = false;
  onNextModal<TForme_liste_objets>([&](TForme_liste_objets* shown) {
    QTRY_VERIFY(shown->isActiveWindow());
    wasActive = true;
    QListWidget* list = shown->Frame_LB_obj->LB_obj;
    doubleClick(list->viewport(), list->visualItemRect(list->item(0)).center());
    // The user clicks in another program.
    QApplication::setActiveWindow(nullptr);
  });
  QCOMPARE(window.exec(), int(QDialog::Rejected));
  QVERIFY(wasActive);
  QVERIFY(!window.isVisible());
}

QTEST_MAIN(SelectionWindowTest)
#include "Fenetre_liste_obj_test.moc"
