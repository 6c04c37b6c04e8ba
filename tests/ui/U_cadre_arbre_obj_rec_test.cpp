// The taxonomy tree frame: filling from the object base (default tree on an
// empty base), its bars and menu, and every edit of the taxonomy through
// dialogs, in-place editing, keys and drops, with their refusals.

#include "ui/U_cadre_arbre_obj_rec.h"

#include "UiTestHelpers.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_occurence.h"
#include "support/RecordingPrompts.h"
#include "ui/Bmpdialog.h"
#include "ui/Fenetre_definition_categorie.h"
#include "widgets/IconSet.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::RecordingPrompts;
using Kind = tessel::test::RecordingPrompts::Kind;

Q_DECLARE_METATYPE(const tessel::ClassRef*)

namespace {

const QString Root = QStringLiteral("Toutes les activités");
const QString CannotDelete = QStringLiteral("Impossible de détruire cette catégorie ");
const QString EmptyName = QStringLiteral("Le nom d'une catégorie ne peut pas être vide !");
const QString Duplicate = QStringLiteral("Ce nom à déjà été utilisé pour une catégorie de même niveau !");
const QString Reserved = QStringLiteral("Nom de la catégorie réservée");
const QString CannotEdit = QStringLiteral("Modification de ce noeud impossible !");
const QString Subtheme = QStringLiteral("Impossible de déplacer dans un sous-thème");
const QString NothingSelected = QStringLiteral("Aucune catégorie n'a été sélectionnée !");
const QString EntriesRefusal = QStringLiteral(
    "Des durées d'activités sont associées à cette activité !\r\nImpossible de détruire cette activite");

QString confirmDelete(const QString& name) {
  return QStringLiteral("La catégorie '") + name +
         QStringLiteral("' contient une ou plusieurs sous-catégories\r\n"
                        "Désirez-vous vraiment le(s) supprimer ?\r\n\r\n"
                        "Remarque : les notes contenues dans ces catégories et sous-catégories ne seront pas "
                        "supprimées.\r\n");
}

QStringList childTexts(const QTreeWidgetItem* item) {
  QStringList texts;
  for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
  return texts;
}

QStringList childNames(const TObjRec* node) {
  QStringList names;
  for (const TObjRec* child : node->Children()) names << fromCp1252(child->Name());
  return names;
}

// A node's icon as the tree draws it.
QImage iconOf(const QTreeWidgetItem* item) {
  return item->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The objects of a frame's nodeChanged signals while it lives.
struct ChangeRecorder {
  explicit ChangeRecorder(TFrame_obj_rec* frame)
      : connection(QObject::connect(frame, &TFrame_obj_rec::nodeChanged,
                                    [this](MObject_OCS* object) { objects.push_back(object); })) {}
  ~ChangeRecorder() { QObject::disconnect(connection); }
  ChangeRecorder(const ChangeRecorder&) = delete;
  ChangeRecorder& operator=(const ChangeRecorder&) = delete;

  std::vector<MObject_OCS*> objects;
  QMetaObject::Connection connection;
};

} // namespace

class TaxonomyTreeTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void defaultTreeOnAnEmptyBase_data();
  void defaultTreeOnAnEmptyBase();
  void loadedTaxonomy();
  void categoryColours();
  void barsAndMenu();
  void actionsFollowTheSelection();

  void create_data();
  void create();
  void createCancelled();
  void rename_data();
  void rename();
  void renameRefusedForRootAndInvariant_data();
  void renameRefusedForRootAndInvariant();
  void editInDialog();
  void editRefusedForInvariant();
  void changeIcon_data();
  void changeIcon();
  void remove_data();
  void remove();
  void deleteKey();
  void nodeListedTwice();
  void dropRefusals_data();
  void dropRefusals();
  void dropMoves_data();
  void dropMoves();
  void refreshNode();
  void failingEditsAreReported_data();
  void failingEditsAreReported();
  void closingTheDocumentEmptiesTheTree();

private:
  // A new document: the root category and its default categories.
  void openNewDocument();
  void show(const ClassRef& cls = Mcategorie::Class(), const QString& images = QStringLiteral("IL_activites"));
  QTreeWidgetItem* item(const QString& path) const;
  TObjRec* node(const QString& path) const;
  void select(const QString& path);
  // Types `text` into the in-place editor opened by F2 and presses Return.
  void typeInPlace(const QString& text);
  bool modified() const { return DocumentManager::instance().DocumentModified(); }
  // Every text shown to the user so far.
  QStringList said() const;
  QTreeWidget* tree() const { return frame_->TV_arbre; }

  QTemporaryDir home_;
  QString startDirectory_;
  std::unique_ptr<RecordingPrompts> prompts_;
  std::unique_ptr<TFrame_obj_rec> frame_;
};

void TaxonomyTreeTest::initTestCase() {
  QVERIFY(home_.isValid());
  qputenv("XDG_DATA_HOME", home_.filePath("data").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath("config").toLocal8Bit());
  startDirectory_ = QDir::currentPath();
}

void TaxonomyTreeTest::init() {
  Storage::reset();
  DocumentManager::instance().reset();
  Tadministration_FRAME::instance().clear();
  SetUpApplicationModel();
  prompts_ = std::make_unique<RecordingPrompts>();
  // An empty base of the program's classes.
  DocumentManager::instance().OpenDocument(QString());
  DocumentManager::instance().SetDocumentModified(false);
  frame_ = std::make_unique<TFrame_obj_rec>();
  frame_->resize(240, 400);
}

void TaxonomyTreeTest::cleanup() {
  frame_.reset();
  Storage::reset();
  DocumentManager::instance().reset();
  prompts_.reset();
  QDir::setCurrent(startDirectory_);
}

void TaxonomyTreeTest::openNewDocument() {
  DocumentManager::instance().AfterDocumentLoaded();
  QVERIFY(!modified());
}

void TaxonomyTreeTest::show(const ClassRef& cls, const QString& images) {
  frame_->ShowTaxonomy(cls, ImageList(images, QSize(16, 16)));
  frame_->show();
  QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
  frame_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
}

QTreeWidgetItem* TaxonomyTreeTest::item(const QString& path) const {
  const QStringList parts = path.split(QLatin1Char('/'));
  QTreeWidgetItem* found = nullptr;
  for (const QString& part : parts) {
    QTreeWidgetItem* next = nullptr;
    const int count = found ? found->childCount() : tree()->topLevelItemCount();
    for (int i = 0; i < count && !next; ++i) {
      QTreeWidgetItem* candidate = found ? found->child(i) : tree()->topLevelItem(i);
      if (candidate->text(0) == part) next = candidate;
    }
    if (!next) return nullptr;
    found = next;
  }
  return found;
}

TObjRec* TaxonomyTreeTest::node(const QString& path) const {
  QTreeWidgetItem* found = item(path);
  return found ? static_cast<TaxonomyNodeItem*>(found)->node() : nullptr;
}

void TaxonomyTreeTest::select(const QString& path) {
  QTreeWidgetItem* found = item(path);
  QVERIFY2(found, qPrintable(path));
  for (QTreeWidgetItem* up = found->parent(); up; up = up->parent()) up->setExpanded(true);
  tree()->scrollToItem(found);
  QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(found).center());
  QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem*>{found});
}

void TaxonomyTreeTest::typeInPlace(const QString& text) {
  tree()->setFocus();
  QTest::keyClick(tree(), Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor);
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Backspace);
  for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
  QTest::keyClick(editor, Qt::Key_Return);
}

QStringList TaxonomyTreeTest::said() const {
  QStringList shown;
  for (const std::string& text : prompts_->texts()) shown << fromCp1252(text);
  return shown;
}

// ---------------------------------------------------------------- filling

void TaxonomyTreeTest::defaultTreeOnAnEmptyBase_data() {
  QTest::addColumn<const ClassRef*>("cls");
  QTest::addColumn<QString>("images");
  QTest::addColumn<QString>("root");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<QStringList>("created");

  QTest::newRow("activity categories")
      << &Mcategorie::Class() << "IL_activites" << "Catégorie activite"
      << QStringList{"Administration", "Pause", "Rédaction", "Réunion"}
      << QStringList{"Pause", "Réunion", "Administration", "Rédaction"};
  QTest::newRow("company types")
      << &TMOOR_societe::Class() << "imgListe_commun" << "Type de société"
      << QStringList{"Client", "Concurrentes", "Fournisseur", "Type de contact", "Type entreprise"}
      << QStringList{"Concurrentes", "Fournisseur", "Client", "Type entreprise", "Type de contact"};
}

void TaxonomyTreeTest::defaultTreeOnAnEmptyBase() {
  QFETCH(const ClassRef*, cls);
  QFETCH(QString, images);
  QFETCH(QString, root);
  QFETCH(QStringList, shown);
  QFETCH(QStringList, created);
  QCOMPARE(cls->LoadedCount(), 0);

  show(*cls, images);
  QCOMPARE(tree()->topLevelItemCount(), 1);
  QTreeWidgetItem* top = tree()->topLevelItem(0);
  QCOMPARE(top->text(0), root);
  QVERIFY(top->isExpanded());
  QCOMPARE(childTexts(top), shown);

  auto* rootNode = static_cast<TaxonomyNodeItem*>(top)->node();
  QVERIFY(rootNode->Invariant());
  QCOMPARE(fromCp1252(rootNode->Name()), root);
  QCOMPARE(childNames(rootNode), created);
  QCOMPARE(cls->LoadedItem(0), rootNode);
  // The root's picture is the list's second one; every node got a picture
  // and shows an icon.
  QVERIFY(rootNode->Picture() && !rootNode->Picture()->isNull());
  for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
    const TaxonomyNodeItem* shownItem = static_cast<TaxonomyNodeItem*>(*it);
    QVERIFY(shownItem->node()->Picture());
    QVERIFY(shownItem->imageIndex() >= 0);
    QVERIFY(!shownItem->icon(0).isNull());
  }
  for (const TObjRec* child : rootNode->Children()) QVERIFY(!child->Invariant());
  // The root's picture was drawn on white, which its icon shows as transparent.
  const QImage icon = iconOf(top);
  int opaque = 0;
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x) opaque += qAlpha(icon.pixel(x, y)) == 255;
  QVERIFY2(opaque > 20 && opaque < 16 * 16, qPrintable(QString::number(opaque)));
  QCOMPARE(qAlpha(icon.pixel(0, 15)), 0);

  // Showing it again shows the same objects, creating none.
  const int count = cls->LoadedCount();
  frame_->ShowTaxonomy(*cls, ImageList(images, QSize(16, 16)));
  QCOMPARE(cls->LoadedCount(), count);
  QCOMPARE(childTexts(tree()->topLevelItem(0)), shown);
}

void TaxonomyTreeTest::loadedTaxonomy() {
  openNewDocument();
  // A category no other lists shows below the first root; the objects stay as they are.
  TObjRec* stray = TObjRec::CreateNamed(Mcategorie::Class(), "Orpheline");
  show();

  QCOMPARE(tree()->topLevelItemCount(), 1);
  QCOMPARE(tree()->topLevelItem(0)->text(0), Root);
  QCOMPARE(childTexts(item(Root)),
           (QStringList{"Administration", "Note de Service", "Orpheline", "Pause", "Rédaction", "Réunion"}));
  QCOMPARE(childTexts(item(Root + "/Réunion")),
           (QStringList{"Réunion exceptionnelle", "Réunion hebdomadaire"}));
  QVERIFY(item(Root)->isExpanded());
  QVERIFY(!item(Root + "/Réunion")->isExpanded());
  QCOMPARE(node(Root + "/Orpheline"), stray);
  QCOMPARE(node(Root)->ChildCount(), 5);
  QCOMPARE(frame_->TaxonomyClass(), &Mcategorie::Class());
  // Loaded without pictures: the root takes the list's first picture, and
  // every node below a copy of it.
  QVERIFY(node(Root)->Picture());
  QVERIFY(node(Root + "/Réunion/Réunion hebdomadaire")->Picture());
  QVERIFY(!static_cast<TaxonomyNodeItem*>(item(Root + "/Pause"))->icon(0).isNull());
  QVERIFY(!modified());
}

void TaxonomyTreeTest::categoryColours() {
  openNewDocument();
  const QColor green(0, 0xC0, 0);
  // Colours are 0x00BBGGRR.
  show();
  node(Root + "/Pause")->SetColour(0x00C000);
  frame_->ShowTaxonomy(Mcategorie::Class(), ImageList(QStringLiteral("IL_activites"), QSize(16, 16)));
  QTest::qWait(0);

  const QImage shot = tree()->viewport()->grab().toImage();
  const auto backgroundOf = [&](const QString& path) {
    const QRect row = tree()->visualItemRect(item(path));
    return shot.pixelColor(row.right() - 3, row.center().y());
  };
  QCOMPARE(backgroundOf(Root + "/Pause"), green);
  QCOMPARE(backgroundOf(Root + "/Administration"), QColor(Qt::white));

  // The selected node shows the highlight instead.
  select(Root + "/Pause");
  const QImage selectedShot = tree()->viewport()->grab().toImage();
  const QRect row = tree()->visualItemRect(item(Root + "/Pause"));
  QVERIFY(selectedShot.pixelColor(row.right() - 3, row.center().y()) != green);

  // Taxonomies without colours paint nothing of their nodes' colours.
  frame_->ShowTaxonomy(TMOOR_societe::Class(), ImageList(QStringLiteral("imgListe_commun"), QSize(16, 16)));
  QCOMPARE(item(QStringLiteral("Type de société") + "/Client")->background(0), QBrush());
}

void TaxonomyTreeTest::barsAndMenu() {
  show();
  QCOMPARE(frame_->PB_titre->height(), 20);
  QCOMPARE(frame_->ToolBar->height(), 25);
  QCOMPARE(frame_->PB_titre->width(), frame_->width());

  // The title band runs from the taxonomy's colour (red) to white.
  const QImage title = frame_->PB_titre->grab().toImage();
  const QColor top = title.pixelColor(2, 0);
  const QColor bottom = title.pixelColor(2, 19);
  QVERIFY2(top.red() > 240 && top.green() < 20 && top.blue() < 20, qPrintable(top.name()));
  QVERIFY2(bottom.red() > 240 && bottom.green() > 220 && bottom.blue() > 220, qPrintable(bottom.name()));
  // The taxonomy's name is written over it.
  bool dark = false;
  for (int x = 0; x < title.width() && !dark; ++x)
    for (int y = 0; y < title.height() && !dark; ++y) dark = title.pixelColor(x, y).lightness() < 60;
  QVERIFY(dark);

  frame_->SetTitleBarVisible(false);
  QVERIFY(frame_->PB_titre->isHidden());
  frame_->SetTitleBarVisible(true);
  QVERIFY(!frame_->PB_titre->isHidden());

  QStringList hints;
  for (QAction* action : frame_->ToolBar->actions())
    if (!action->isSeparator()) hints << (action->isVisible() ? "" : "hidden: ") + action->toolTip();
  QCOMPARE(hints, (QStringList{"Ajouter une catégorie", "Supprimer une catégorie", "Changer l'icone d'une catégorie",
                               "Générer un rapport", "hidden: Detruire arbre..."}));
  QCOMPARE(frame_->ToolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
  QVERIFY(frame_->ToolBar->actions().at(3)->isSeparator());

  QStringList entries;
  for (QAction* action : frame_->PM_arbre->actions())
    entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
  QCOMPARE(entries, (QStringList{"Nouveau", "Supprimer", "Renommer", "-", "Modifier icone...",
                                 "Modifier texte, couleur, icone, ...", "-", "Générer un rapport",
                                 "Générer un état imprimable", "-", "Genération XML", "Créer une nouvelle note",
                                 "-",
                                 "Importer un sous-arbre...", "Exporter un sous-arbre..."}));

  QCOMPARE(tree()->indentation(), 19);
  QVERIFY(!tree()->rootIsDecorated());
  QCOMPARE(tree()->frameShape(), QFrame::NoFrame);
  QVERIFY(tree()->dragEnabled());
  QCOMPARE(frame_->TreeView(), tree());
}

void TaxonomyTreeTest::actionsFollowTheSelection() {
  show();
  const QList<QAction*> followers{frame_->Act_nouveau, frame_->Act_supprimer, frame_->Act_modifier_icone,
                                  frame_->Act_rapport};
  const QList<QAction*> never{frame_->Act_etat_imprimable, frame_->Act_xml, frame_->Act_nouvelle_note,
                              frame_->Act_importer, frame_->Act_exporter};
  tree()->clearSelection();
  for (QAction* action : followers) QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
  for (QAction* action : never) QVERIFY(!action->isEnabled());
  QVERIFY(!frame_->SelectedObject());
  QVERIFY(!frame_->TopNodeSelected());

  const QString root = QStringLiteral("Catégorie activite");
  select(root);
  for (QAction* action : followers) QVERIFY2(action->isEnabled(), qPrintable(action->text()));
  for (QAction* action : never) QVERIFY(!action->isEnabled());
  QVERIFY(frame_->TopNodeSelected());
  QCOMPARE(frame_->SelectedObject(), node(root));

  select(root + "/Pause");
  QVERIFY(!frame_->TopNodeSelected());
  QCOMPARE(frame_->SelectedObject(), node(root + "/Pause"));

  // Commands on nothing say so or do nothing.
  tree()->clearSelection();
  frame_->CreateNode();
  frame_->ChangeIcon();
  frame_->DeleteNode();
  frame_->RenameNode();
  frame_->EditNode();
  QCOMPARE(said(), (QStringList{NothingSelected, NothingSelected, NothingSelected}));
  QVERIFY(!modified());
}

// ---------------------------------------------------------------- create

void TaxonomyTreeTest::create_data() {
  QTest::addColumn<QString>("parent");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("refusal");

  QTest::newRow("new name") << Root << "Voyage" << "";
  QTest::newRow("reserved name in any case") << Root + "/Pause" << "poubelle" << Reserved;
  QTest::newRow("reserved name padded") << Root << " POUBELLE " << Reserved;
  QTest::newRow("sibling's name in another case") << Root << "PAUSE" << Duplicate;
  QTest::newRow("same name under another parent") << Root + "/Réunion" << "Pause" << "";
}

void TaxonomyTreeTest::create() {
  QFETCH(QString, parent);
  QFETCH(QString, name);
  QFETCH(QString, refusal);
  openNewDocument();
  show();
  select(parent);
  const QStringList before = childNames(node(parent));
  const int count = Mcategorie::Class().LoadedCount();

  QString caption, shownName, description;
  bool colourShown = false;
  bool pictureShown = false;
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    caption = window->windowTitle();
    shownName = window->Ed_nom_categorie->text();
    description = window->RE_description_categorie->toPlainText();
    colourShown = window->Shape_couleur->isVisible();
    pictureShown = !window->Picture().isNull();
    window->Ed_nom_categorie->setText(name);
    window->RE_description_categorie->setPlainText(QStringLiteral("Trajets et missions"));
    window->SetColour(QColor(0x10, 0x20, 0x30));
    QTest::mouseClick(window->BB_oui, Qt::LeftButton);
  });
  frame_->Act_nouveau->trigger();

  QCOMPARE(caption, QStringLiteral("Définir un nom pour la nouvelle catégorie "));
  QCOMPARE(shownName, QStringLiteral("Nom de la catégorie"));
  QCOMPARE(description, QString());
  QVERIFY(colourShown);
  QVERIFY(pictureShown);
  QCOMPARE(frame_->SelectedObject(), node(parent));

  if (!refusal.isEmpty()) {
    QCOMPARE(said(), QStringList{refusal});
    QCOMPARE(childNames(node(parent)), before);
    QCOMPARE(Mcategorie::Class().LoadedCount(), count);
    QVERIFY(!modified());
    return;
  }
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(childNames(node(parent)), before + QStringList{name});
  TObjRec* created = node(parent + "/" + name);
  QVERIFY(created);
  QVERIFY(!created->Invariant());
  QCOMPARE(fromCp1252(created->Description()), QStringLiteral("Trajets et missions"));
  QCOMPARE(created->Colour(), 0x302010u);
  QVERIFY(created->Picture());
  QVERIFY(item(parent)->isExpanded());
  QVERIFY(modified());
  // Kept in order among its siblings.
  QStringList shown = childTexts(item(parent));
  QStringList sorted = shown;
  std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
    return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
  });
  QCOMPARE(shown, sorted);
}

void TaxonomyTreeTest::createCancelled() {
  openNewDocument();
  show();
  select(Root);
  const int count = Mcategorie::Class().LoadedCount();
  onNextModal<TForme_DefCatDialog>([](TForme_DefCatDialog* window) { window->BB_annuler->click(); });
  frame_->CreateNode();
  QCOMPARE(Mcategorie::Class().LoadedCount(), count);
  QVERIFY(prompts_->shown.empty());
  QVERIFY(!modified());
}

// ---------------------------------------------------------------- rename

void TaxonomyTreeTest::rename_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("name");   // afterwards
  QTest::addColumn<QString>("refusal");

  QTest::newRow("new name") << "Café" << "Café" << QString();
  QTest::newRow("new name, spaces trimmed") << "  Café " << "Café" << QString();
  QTest::newRow("empty") << "" << "Pause" << EmptyName;
  QTest::newRow("blank") << "   " << "Pause" << EmptyName;
  QTest::newRow("reserved") << "pOUBELLE" << "Pause" << Reserved;
  QTest::newRow("sibling's name in another case") << "ADMINISTRATION" << "Pause" << Duplicate;
  QTest::newRow("its own name") << "Pause" << "Pause" << Duplicate;
  QTest::newRow("its own name in another case") << "pause" << "Pause" << Duplicate;
}

void TaxonomyTreeTest::rename() {
  QFETCH(QString, typed);
  QFETCH(QString, name);
  QFETCH(QString, refusal);
  openNewDocument();
  show();
  select(Root + "/Pause");
  TObjRec* pause = node(Root + "/Pause");
  const ChangeRecorder changed(frame_.get());

  typeInPlace(typed);
  if (!refusal.isEmpty()) {
    QTRY_COMPARE(said(), QStringList{refusal});
    QCOMPARE(changed.objects.size(), size_t(0));
    QVERIFY(!modified());
  } else {
    QTRY_COMPARE(changed.objects.size(), size_t(1));
    QCOMPARE(changed.objects.at(0), pause);
    QVERIFY(prompts_->shown.empty());
    QVERIFY(modified());
  }
  QCOMPARE(fromCp1252(pause->Name()), name);
  QCOMPARE(item(Root + "/" + name), tree()->selectedItems().value(0));
  QCOMPARE(childTexts(item(Root)),
           (name == "Café" ? QStringList{"Administration", "Café", "Note de Service", "Rédaction", "Réunion"}
                           : QStringList{"Administration", "Note de Service", "Pause", "Rédaction", "Réunion"}));
  // The editor has closed, once: no second refusal.
  QTest::qWait(20);
  QCOMPARE(prompts_->shown.size(), refusal.isEmpty() ? size_t(0) : size_t(1));
}

void TaxonomyTreeTest::renameRefusedForRootAndInvariant_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<bool>("byMenu");
  QTest::newRow("root, F2") << Root << false;
  QTest::newRow("root, menu") << Root << true;
  QTest::newRow("invariant node, F2") << Root + "/Corbeille" << false;
  QTest::newRow("invariant node, menu") << Root + "/Corbeille" << true;
}

void TaxonomyTreeTest::renameRefusedForRootAndInvariant() {
  QFETCH(QString, path);
  QFETCH(bool, byMenu);
  openNewDocument();
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  root->AddSubcategory("Corbeille")->SetInvariant(true);
  show();
  select(path);
  if (byMenu)
    frame_->Act_renommer->trigger();
  else
    QTest::keyClick(tree(), Qt::Key_F2);
  QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
  QVERIFY(!tree()->findChild<QLineEdit*>());

  // A node that can be renamed opens its editor the same ways.
  select(Root + "/Pause");
  if (byMenu)
    frame_->Act_renommer->trigger();
  else
    QTest::keyClick(tree(), Qt::Key_F2);
  QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QTest::qWait(20);
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(fromCp1252(node(Root + "/Pause")->Name()), QStringLiteral("Pause"));
}

// ---------------------------------------------------------------- edit and icon

void TaxonomyTreeTest::editInDialog() {
  openNewDocument();
  show();
  select(Root + "/Pause");
  TObjRec* pause = node(Root + "/Pause");
  pause->SetDescription("Café\r\nthé"_w);
  pause->SetColour(0x0000FF);
  QImage picture(24, 24, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  const ChangeRecorder changed(frame_.get());

  QString caption, shownName, description;
  QColor colour;
  QImage shownPicture;
  QImage newPicture(16, 16, QImage::Format_RGB32);
  newPicture.fill(Qt::yellow);
  onNextModal<TForme_DefCatDialog>([&](TForme_DefCatDialog* window) {
    caption = window->windowTitle();
    shownName = window->Ed_nom_categorie->text();
    description = window->RE_description_categorie->toPlainText();
    colour = window->Colour();
    shownPicture = window->Picture();
    // A sibling's name is not checked here.
    window->Ed_nom_categorie->setText(QStringLiteral("Administration"));
    window->RE_description_categorie->setPlainText(QStringLiteral("Tout\nle reste"));
    window->SetColour(QColor(0, 255, 0));
    window->SetPicture(newPicture);
    QTest::mouseClick(window->BB_oui, Qt::LeftButton);
  });
  frame_->Act_modifier->trigger();

  QCOMPARE(caption, QStringLiteral("Définir un nom pour la nouvelle catégorie "));
  QCOMPARE(shownName, QStringLiteral("Pause"));
  QCOMPARE(description, QStringLiteral("Café\nthé"));
  QCOMPARE(colour, QColor(255, 0, 0));
  QVERIFY(!shownPicture.isNull());

  QVERIFY(prompts_->shown.empty());
  QCOMPARE(fromCp1252(pause->Name()), QStringLiteral("Administration"));
  // Stored with the engine's line ends, as the timetable stores it.
  QCOMPARE(pause->Description(), std::string("Tout\r\nle reste"));
  QCOMPARE(pause->Colour(), 0x00FF00u);
  QVERIFY(pause->Picture());
  QCOMPARE(pause->Picture()->pixelColor(0, 0), QColor(Qt::yellow));
  auto* shown = static_cast<TaxonomyNodeItem*>(tree()->selectedItems().value(0));
  QCOMPARE(shown->node(), pause);
  QCOMPARE(shown->text(0), QStringLiteral("Administration"));
  QCOMPARE(shown->background(0).color(), QColor(0, 255, 0));
  QCOMPARE(changed.objects.size(), size_t(1));
  QCOMPARE(changed.objects.at(0), pause);
  QVERIFY(modified());
}

void TaxonomyTreeTest::editRefusedForInvariant() {
  openNewDocument();
  show();
  select(Root);
  const ChangeRecorder changed(frame_.get());
  frame_->EditNode(); // no dialog comes up
  QCOMPARE(said(), QStringList{CannotEdit});
  QCOMPARE(changed.objects.size(), size_t(0));
  QVERIFY(!modified());
}

void TaxonomyTreeTest::changeIcon_data() {
  QTest::addColumn<QString>("action");
  QTest::newRow("a picture") << "Valider";
  QTest::newRow("no picture") << "Effacer";
  QTest::newRow("cancelled") << "Annuler";
}

void TaxonomyTreeTest::changeIcon() {
  QFETCH(QString, action);
  openNewDocument();
  show();
  QTemporaryDir pictures;
  // Blue on red: red, the bottom-left colour, is transparent in icons.
  QImage drawn(16, 16, QImage::Format_RGB888);
  drawn.fill(Qt::red);
  QPainter(&drawn).fillRect(4, 4, 8, 8, Qt::blue);
  QVERIFY(drawn.save(QDir(pictures.path()).filePath("rouge.bmp"), "BMP"));
  QDir::setCurrent(pictures.path());
  // A node created without a picture follows its parent's.
  node(Root + "/Réunion")->AddChild(TObjRec::CreateNamed(Mcategorie::Class(), "Bilan"));
  frame_->ShowTaxonomy(Mcategorie::Class(), ImageList(QStringLiteral("IL_activites"), QSize(16, 16)));
  node(Root + "/Réunion/Bilan")->SetPicture(nullptr);
  frame_->RefreshNode(node(Root + "/Réunion/Bilan"));
  select(Root + "/Réunion");
  TObjRec* meeting = node(Root + "/Réunion");
  auto* meetingItem = static_cast<TaxonomyNodeItem*>(item(Root + "/Réunion"));
  const int before = meetingItem->imageIndex();
  const ChangeRecorder changed(frame_.get());

  onNextModal<TBmp_dialog>([&](TBmp_dialog* window) {
    if (action == "Valider") {
      window->LB_bmp->setCurrentRow(0);
      window->Act_valider->trigger();
    } else if (action == "Effacer") {
      window->Act_effacer->trigger();
    } else {
      window->Act_annuler->trigger();
    }
  });
  QTest::mouseClick(frame_->ToolBar->widgetForAction(frame_->Act_modifier_icone), Qt::LeftButton);

  auto* follower = static_cast<TaxonomyNodeItem*>(item(Root + "/Réunion/Bilan"));
  if (action == "Annuler") {
    QCOMPARE(meetingItem->imageIndex(), before);
    QCOMPARE(changed.objects.size(), size_t(0));
    QVERIFY(!modified());
    return;
  }
  QCOMPARE(changed.objects.size(), size_t(1));
  QCOMPARE(changed.objects.at(0), meeting);
  QVERIFY(modified());
  if (action == "Valider") {
    QVERIFY(meeting->Picture());
    QCOMPARE(meeting->Picture()->pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(meetingItem->imageIndex() != before);
    const QImage icon = iconOf(meetingItem);
    QCOMPARE(qAlpha(icon.pixel(0, 15)), 0);
    QCOMPARE(qAlpha(icon.pixel(2, 2)), 0);
    QCOMPARE(icon.pixelColor(8, 8), QColor(Qt::blue));
  } else {
    // Without a picture it shows its parent's icon.
    QVERIFY(!meeting->Picture());
    QCOMPARE(meetingItem->imageIndex(), static_cast<TaxonomyNodeItem*>(item(Root))->imageIndex());
  }
  QCOMPARE(follower->imageIndex(), meetingItem->imageIndex());
}

// ---------------------------------------------------------------- delete

void TaxonomyTreeTest::remove_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<int>("answer"); // to the confirmation, when asked
  QTest::addColumn<QString>("shown");
  QTest::addColumn<int>("deleted");

  QTest::newRow("root") << Root << 0 << CannotDelete << 0;
  QTest::newRow("invariant node") << Root + "/Corbeille" << 0 << CannotDelete << 0;
  QTest::newRow("refused by the class") << Root + "/Administration" << 0 << EntriesRefusal << 0;
  QTest::newRow("leaf, no question") << Root + "/Pause" << 0 << QString() << 1;
  QTest::newRow("with children, annuler") << Root + "/Réunion" << int(Answer::Cancel)
                                          << confirmDelete("Réunion") << 0;
  QTest::newRow("with children, yes") << Root + "/Réunion" << int(Answer::Yes)
                                      << confirmDelete("Réunion") << 4;
}

void TaxonomyTreeTest::remove() {
  QFETCH(QString, path);
  QFETCH(int, answer);
  QFETCH(QString, shown);
  QFETCH(int, deleted);
  openNewDocument();
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  root->AddSubcategory("Corbeille")->SetInvariant(true);
  // Old time entries still hang on Administration.
  auto* administration = static_cast<Mcategorie*>(root->Child(2));
  QCOMPARE(fromCp1252(administration->Name()), QStringLiteral("Administration"));
  Moccurence::CreateEntry(EncodeDate(2024, 3, 4))->SetEntryCategory(administration);
  // A grandchild: the whole subtree goes.
  static_cast<Mcategorie*>(root->Child(1)->Child(0))->AddSubcategory("Lundi");
  show();
  select(path);
  if (answer) prompts_->answer(Answer(answer));
  const int count = Mcategorie::Class().LoadedCount();
  const int rootChildren = root->ChildCount();
  // Each object is announced while it can still be read.
  QStringList announced;
  connect(frame_.get(), &TFrame_obj_rec::nodeAboutToBeDeleted, this, [&announced](MObject_OCS* object) {
    announced << fromCp1252(static_cast<Mcategorie*>(object)->Name());
  });

  frame_->Act_supprimer->trigger();

  QCOMPARE(said(), shown.isEmpty() ? QStringList() : QStringList{shown});
  if (answer) QVERIFY(prompts_->shown.at(0).kind == Kind::YesCancel);
  QCOMPARE(Mcategorie::Class().LoadedCount(), count - deleted);
  QCOMPARE(announced.size(), deleted);
  if (deleted) QCOMPARE(announced.back(), path.section(u'/', -1));
  QCOMPARE(modified(), deleted > 0);
  if (deleted) {
    QVERIFY(!item(path));
    QCOMPARE(root->ChildCount(), rootChildren - 1);
    QCOMPARE(frame_->SelectedObject(), root);
    QCOMPARE(QApplication::focusWidget(), tree());
  } else {
    QVERIFY(item(path));
    QCOMPARE(root->ChildCount(), rootChildren);
  }
}

void TaxonomyTreeTest::deleteKey() {
  openNewDocument();
  show();
  select(Root + "/Pause");
  // While the text is being edited, Delete edits the text.
  QTest::keyClick(tree(), Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor);
  editor->setCursorPosition(0);
  QTest::keyClick(editor, Qt::Key_Delete);
  QCOMPARE(editor->text(), QStringLiteral("ause"));
  QTest::keyClick(editor, Qt::Key_Escape);
  QVERIFY(item(Root + "/Pause"));
  QVERIFY(prompts_->shown.empty());

  QTest::keyClick(tree(), Qt::Key_Delete);
  QVERIFY(!item(Root + "/Pause"));
  QVERIFY(modified());
}

void TaxonomyTreeTest::nodeListedTwice() {
  openNewDocument();
  TObjRec* root = static_cast<TObjRec*>(Mcategorie::Class().LoadedItem(0));
  TObjRec* pause = root->Child(0);
  root->Child(1)->AddChild(pause); // also below Réunion
  show();
  QCOMPARE(node(Root + "/Pause"), pause);
  QCOMPARE(node(Root + "/Réunion/Pause"), pause);

  pause->SetName("Repos");
  frame_->RefreshNode(pause);
  QCOMPARE(node(Root + "/Repos"), pause);
  QCOMPARE(node(Root + "/Réunion/Repos"), pause);

  select(Root + "/Réunion/Repos");
  frame_->DeleteNode();
  // No node is left showing the deleted object.
  QVERIFY(!item(Root + "/Réunion/Repos"));
  QVERIFY(!item(Root + "/Repos"));
  QCOMPARE(childNames(root), (QStringList{"Réunion", "Administration", "Rédaction", "Note de Service"}));
}

// ---------------------------------------------------------------- drag and drop

namespace {

// Drags the selected node of `view` over `target` and drops it there; answers
// whether the view accepted the drag there.
bool dragTo(TaxonomyTreeView* view, QTreeWidgetItem* target, QMimeData* data) {
  if (target) {
    for (QTreeWidgetItem* up = target->parent(); up; up = up->parent()) up->setExpanded(true);
    view->scrollToItem(target);
  }
  const QPoint pos = target ? view->visualItemRect(target).center() : QPoint(5, view->viewport()->height() - 3);
  QDragEnterEvent enter(pos, Qt::MoveAction | Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &enter);
  QDragMoveEvent move(pos, Qt::MoveAction | Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &move);
  const bool accepted = enter.isAccepted() && move.isAccepted();
  QDropEvent drop(QPointF(pos), Qt::MoveAction | Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &drop);
  QTest::qWait(20); // the move follows the drag's end
  return accepted;
}

} // namespace

void TaxonomyTreeTest::dropRefusals_data() {
  QTest::addColumn<QString>("dragged");
  QTest::addColumn<QString>("target");
  QTest::addColumn<QString>("source"); // "this", "other tree", "list", "unmarked"

  QTest::newRow("root") << Root << Root + "/Pause" << "this";
  QTest::newRow("invariant node") << Root + "/Corbeille" << Root + "/Pause" << "this";
  QTest::newRow("not over a node") << Root + "/Pause" << "" << "this";
  QTest::newRow("from another tree") << Root + "/Pause" << Root + "/Réunion" << "other tree";
  QTest::newRow("from a list") << Root + "/Pause" << Root + "/Réunion" << "list";
  QTest::newRow("anything else") << Root + "/Pause" << Root + "/Réunion" << "unmarked";
}

void TaxonomyTreeTest::dropRefusals() {
  QFETCH(QString, dragged);
  QFETCH(QString, target);
  QFETCH(QString, source);
  openNewDocument();
  static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0))->AddSubcategory("Corbeille")->SetInvariant(true);
  show();
  TObjRec* root = node(Root);
  const QStringList before = childNames(root);

  std::unique_ptr<QMimeData> data;
  if (source == "this") {
    select(dragged);
    data.reset(frame_->TV_arbre->NodeDragData());
  } else if (source == "other tree") {
    TFrame_obj_rec other;
    other.ShowTaxonomy(Mcategorie::Class(), ImageList(QStringLiteral("IL_activites"), QSize(16, 16)));
    other.TV_arbre->setCurrentItem(other.TV_arbre->topLevelItem(0)->child(0));
    data.reset(other.TV_arbre->NodeDragData());
    select(dragged);
  } else {
    select(dragged);
    data = std::make_unique<QMimeData>();
    data->setData(source == "list" ? "application/x-qabstractitemmodeldatalist" : "text/plain", "Pause");
  }
  QVERIFY(data);
  QVERIFY(!dragTo(frame_->TV_arbre, target.isEmpty() ? nullptr : item(target), data.get()));
  QCOMPARE(childNames(root), before);
  QVERIFY(prompts_->shown.empty());
  QVERIFY(item(dragged));
}

void TaxonomyTreeTest::dropMoves_data() {
  QTest::addColumn<QString>("dragged");
  QTest::addColumn<QString>("target");
  QTest::addColumn<QString>("moved"); // the dragged node's path afterwards, empty when refused

  QTest::newRow("onto a sibling") << Root + "/Pause" << Root + "/Réunion" << Root + "/Réunion/Pause";
  QTest::newRow("onto its parent: last of its list")
      << Root + "/Réunion/Réunion hebdomadaire" << Root + "/Réunion" << Root + "/Réunion/Réunion hebdomadaire";
  QTest::newRow("with its subtree") << Root + "/Réunion" << Root + "/Pause" << Root + "/Pause/Réunion";
  QTest::newRow("onto itself") << Root + "/Réunion" << Root + "/Réunion" << "";
  QTest::newRow("onto a grandchild") << Root + "/Réunion" << Root + "/Réunion/Réunion hebdomadaire/Lundi" << "";
}

void TaxonomyTreeTest::dropMoves() {
  QFETCH(QString, dragged);
  QFETCH(QString, target);
  QFETCH(QString, moved);
  openNewDocument();
  auto* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  static_cast<Mcategorie*>(root->Child(1)->Child(0))->AddSubcategory("Lundi");
  show();
  TObjRec* draggedNode = node(dragged);
  TObjRec* targetNode = node(target);
  const QString oldParentPath = dragged.section('/', 0, -2);
  TObjRec* oldParent = node(oldParentPath);
  const QStringList before = childNames(oldParent);
  select(dragged);
  std::unique_ptr<QMimeData> data(frame_->TV_arbre->NodeDragData());

  QVERIFY(dragTo(frame_->TV_arbre, item(target), data.get()));

  QVERIFY(!modified());
  if (moved.isEmpty()) {
    QCOMPARE(said(), QStringList{Subtheme});
    QCOMPARE(childNames(oldParent), before);
    QCOMPARE(node(dragged), draggedNode);
    return;
  }
  QVERIFY(prompts_->shown.empty());
  QCOMPARE(node(moved), draggedNode);
  QCOMPARE(targetNode->Children().back(), draggedNode);
  if (oldParent != targetNode) QVERIFY(!childNames(oldParent).contains(fromCp1252(draggedNode->Name())));
  QCOMPARE(childNames(targetNode).count(fromCp1252(draggedNode->Name())), qsizetype(1));
  QCOMPARE(frame_->SelectedObject(), targetNode);
  // The subtree came along.
  if (moved.endsWith("/Réunion"))
    QVERIFY(item(moved + "/Réunion hebdomadaire/Lundi"));
  QCOMPARE(tree()->topLevelItemCount(), 1);
}

// ---------------------------------------------------------------- refresh

void TaxonomyTreeTest::refreshNode() {
  openNewDocument();
  show();
  TObjRec* pause = node(Root + "/Pause");
  auto* pauseItem = static_cast<TaxonomyNodeItem*>(item(Root + "/Pause"));
  const int before = pauseItem->imageIndex();
  pause->SetName("Zénith"_w);
  QImage picture(16, 16, QImage::Format_RGB32);
  picture.fill(Qt::green);
  pause->SetPicture(&picture);
  pause->SetColour(0x00FF00);

  frame_->RefreshNode(pause);
  QCOMPARE(pauseItem->text(0), QStringLiteral("Zénith"));
  QVERIFY(pauseItem->imageIndex() != before);
  QCOMPARE(pauseItem->background(0).color(), QColor(0, 255, 0));
  QCOMPARE(childTexts(item(Root)).last(), QStringLiteral("Zénith"));

  // Objects no node shows change nothing.
  const QStringList shown = childTexts(item(Root));
  frame_->RefreshNode(nullptr);
  frame_->RefreshNode(TObjRec::CreateNamed(Mcategorie::Class(), "Ailleurs"));
  QCOMPARE(childTexts(item(Root)), shown);
  QVERIFY(!modified());
}

// ---------------------------------------------------------------- failures and closing

void TaxonomyTreeTest::failingEditsAreReported_data() {
  QTest::addColumn<QString>("edit");
  QTest::newRow("renamed in place") << "rename";
  QTest::newRow("deleted with its key") << "delete";
  QTest::newRow("edited in the dialog") << "dialog";
}

// What fails inside an edit is reported in the "Erreur" box, and the tree
// takes the next edit.
void TaxonomyTreeTest::failingEditsAreReported() {
  QFETCH(QString, edit);
  openNewDocument();
  show();
  // Each edit ends by marking the document modified: that step fails.
  DocumentManager::instance().modifiedChanged = [](bool) { throw ConvertError("'x' n'est pas correct", "x"); };
  select(Root + "/Pause");
  if (edit == "rename") {
    typeInPlace(QStringLiteral("Café"));
  } else if (edit == "delete") {
    QTest::keyClick(tree(), Qt::Key_Delete);
  } else {
    onNextModal<TForme_DefCatDialog>([](TForme_DefCatDialog* window) { window->BB_oui->click(); });
    frame_->Act_modifier->trigger();
  }
  QTRY_COMPARE(said(), QStringList{QStringLiteral("'x' n'est pas correct")});
  QCOMPARE(prompts_->shown[0].kind, RecordingPrompts::Kind::Error);

  DocumentManager::instance().modifiedChanged = nullptr;
  prompts_->clear();
  frame_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
  select(Root + "/Rédaction");
  typeInPlace(QStringLiteral("Écriture"));
  QTRY_VERIFY(item(Root + "/Écriture"));
  QVERIFY(prompts_->shown.empty());
}

// New and Open free every object: the nodes that show them go first.
void TaxonomyTreeTest::closingTheDocumentEmptiesTheTree() {
  openNewDocument();
  show();
  select(Root + "/Pause");
  DocumentManager::instance().CloseDocument();
  QCOMPARE(tree()->topLevelItemCount(), 0);
  QCOMPARE(frame_->SelectedObject(), nullptr);
  QVERIFY(!frame_->Act_supprimer->isEnabled());
  frame_->grab();
  DocumentManager::instance().OpenDocument(QString());
  openNewDocument();
  show();
  QVERIFY(item(Root + "/Pause"));
}

QTEST_MAIN(TaxonomyTreeTest)
#include "U_cadre_arbre_obj_rec_test.moc"
