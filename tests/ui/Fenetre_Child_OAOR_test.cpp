// The editor window and the content editor: opening one window per object,
// OK / Ctrl+W / Annuler, what the content editor stores, the caption rule,
// the frame table, a failing OK, and the document closing under the window.

#include "ui/Fenetre_Child_OAOR.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "model/U_OR_class_theme.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_ressource_document.h"
#include "model/U_class_ressource_societe.h"
#include "model/U_class_user_tessel.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Fenetre_liste_obj.h"
#include "ui/Sous_cadre_description.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "UiModelFixture.h"
#include "UiTestHelpers.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::processDeletions;
using tessel::test::UiModel;

namespace {

TFrame_contenu* contentFrame(const TMDIChild_OAOR* window) { return qobject_cast<TFrame_contenu*>(window->Frame()); }

Mcontenu* onlyComment() {
  const ObjectList contents = Mcontenu::Class().LoadedObjects();
  return contents.size() == 1 ? static_cast<Mcontenu*>(contents.front()) : nullptr;
}

QString decoded(const std::string& stored) { return fromCp1252(DecodeText(stored)); }

// Key by key, accented letters included (keyClicks takes ASCII only).
void typeText(QWidget* widget, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void layoutOfAContentEditor();
  void captionRule_data();
  void captionRule();
  void oneWindowPerObject();
  void blankNewCommentStoresPlaceholders();
  void textsRoundTripUnchanged_data();
  void textsRoundTripUnchanged();
  void headerFieldsAreStored_data();
  void headerFieldsAreStored();
  void satisfactionShownAsStored_data();
  void satisfactionShownAsStored();
  void ctrlWSavesLikeOk_data();
  void ctrlWSavesLikeOk();
  void cancellingStoresNothing_data();
  void cancellingStoresNothing();
  void closingFromTheTitleBarKeepsTheLastResult();
  void okAfterTheObjectWasDeletedStoresNothing();
  void aFailingOkKeepsTheWindowOpen();
  void closingTheDocumentClosesTheWindows();
  void clearPaintsTheFields_data();
  void clearPaintsTheFields();
  void ctrlTabTypesATab();
  void framesByRegistryName_data();
  void framesByRegistryName();
  void classWithoutItsEditorStoresNothing();
  void themesPanelOnlyWhenThemesExist();
  void themesChosenInTheSelectionWindow();
  void themeLinksNotShownAreKept();

private:
  std::unique_ptr<UiModel> model_;
};

void EditorWindowTest::init() { model_ = std::make_unique<UiModel>(); }

void EditorWindowTest::cleanup() { model_.reset(); }

void EditorWindowTest::layoutOfAContentEditor() {
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  TFrame_contenu* frame = contentFrame(window);
  QVERIFY(frame);
  QCOMPARE(frame->size(), QSize(330, 215));
  QCOMPARE(window->size(), QSize(340, 255));
  QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
  QVERIFY(!window->windowIcon().isNull());
  QCOMPARE(window->BB_valider->text(), QStringLiteral("OK"));
  QCOMPARE(window->BB_annuler->text(), QStringLiteral("Annuler"));
  QCOMPARE(window->BB_valider->geometry(), QRect(16, 2, 75, 25));
  QCOMPARE(window->BB_annuler->geometry(), QRect(96, 2, 75, 25));
  QCOMPARE(window->Panel_boutons->height(), 29);

  TFrame_entete_contenu* header = frame->Frame_entete;
  QCOMPARE(header->height(), 57);
  QCOMPARE(header->Label_intitule->text(), QStringLiteral("Intitulé :"));
  QCOMPARE(header->CB_realise->text(), QStringLiteral("Réalisée"));
  QCOMPARE(header->CB_realise->toolTip(), QStringLiteral("Note réalisée"));
  QCOMPARE(header->CB_evt->text(), QStringLiteral("Evènement"));
  QCOMPARE(header->CB_smiley->count(), 6);
  QCOMPARE(header->CB_smiley->width(), 45);
  // At 56,5 as designed, or right of a wider label; up to the frame's edge.
  QCOMPARE(header->Ed_titre_note->y(), 5);
  QVERIFY(header->Ed_titre_note->x() >= 56);
  QVERIFY(header->Ed_titre_note->x() > header->Label_intitule->geometry().right());
  QCOMPARE(header->Ed_titre_note->geometry().right(), header->Panel_entete->width() - 5);
  QVERIFY(!header->Panel_themes->isVisible());
  QCOMPARE(frame->Frame_description->Label_description->text(), QStringLiteral("Description :"));
  QCOMPARE(frame->Frame_description->Label_commentaire->text(), QStringLiteral("Commentaire :"));
  QCOMPARE(frame->Frame_description->RE_texte->toolTip(), QStringLiteral("CRTL+TAB pour les tabulations"));
  QCOMPARE(frame->Frame_description->Panel_commentaire->height(), 41);
}

void EditorWindowTest::captionRule_data() {
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("caption");

  const QString forty = QStringLiteral("Réunion de service avec toute l'équipe A");
  QCOMPARE(forty.size(), 40);
  QTest::newRow("40 characters") << forty << QString() << QStringLiteral("Post-it : Réunion de serv...");
  QTest::newRow("5 characters still get the dots") << "Court" << QString() << "Post-it : Court...";
  QTest::newRow("first line of the text") << QString() << "première ligne\r\nseconde" << "Post-it : première ligne...";
  QTest::newRow("no title, no text") << QString() << QString() << "Post-it : <Note Vide>...";
}

void EditorWindowTest::captionRule() {
  QFETCH(QString, title);
  QFETCH(QString, text);
  QFETCH(QString, caption);
  Mcontenu* content = UiModel::comment(toCp1252(title), toCp1252(text));
  TMDIChild_OAOR* window = EditObject(content, content->classe());
  QCOMPARE(window->windowTitle(), caption);
  QCOMPARE(EditorCaption(Mcontenu::Class(), *content), caption);
}

void EditorWindowTest::oneWindowPerObject() {
  Mcontenu* a = UiModel::comment("A");
  Mcontenu* b = UiModel::comment("B");
  TMDIChild_OAOR* onA = EditObject(a, a->classe());
  TMDIChild_OAOR* onB = EditObject(b, b->classe());
  QVERIFY(onA != onB);
  QCOMPARE(EditObject(a, a->classe()), onA);
  QCOMPARE(TMDIChild_OAOR::OpenWindows(), (QList<TMDIChild_OAOR*>{onA, onB}));
  // A new comment does not go to a window that holds one.
  TMDIChild_OAOR* onNew = EditObject(nullptr, Mcontenu::Class());
  QVERIFY(onNew != onA && onNew != onB);
  QCOMPARE(onB->pos(), onA->pos() + QPoint(20, 20));

  const QPointer<TMDIChild_OAOR> closed(onA);
  QTest::mouseClick(onA->BB_annuler, Qt::LeftButton);
  QCOMPARE(TMDIChild_OAOR::OpenWindows(), (QList<TMDIChild_OAOR*>{onB, onNew}));
  processDeletions();
  QVERIFY(!closed);
  QVERIFY(EditObject(a, a->classe()) != onB);
}

void EditorWindowTest::blankNewCommentStoresPlaceholders() {
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  const QPointer<TMDIChild_OAOR> guard(window);
  QVERIFY(!DocumentManager::instance().DocumentModified());
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);

  Mcontenu* content = onlyComment();
  QVERIFY(content);
  QCOMPARE(content->Texte(), std::string("<Vide>"));
  QCOMPARE(content->Commentaire(), std::string("<Sans commentaire>"));
  QCOMPARE(content->Titre(), std::string());
  QCOMPARE(content->Title(), std::string("<Vide>"));
  QCOMPARE(content->Satisfaction(), 0);
  QVERIFY(!content->Realise());
  QVERIFY(!content->Evenement());
  QCOMPARE(content->themes().Count(), 0);
  QVERIFY(DocumentManager::instance().DocumentModified());
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Ok);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  processDeletions();
  QVERIFY(!guard);
}

void EditorWindowTest::textsRoundTripUnchanged_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("comment");
  QTest::newRow("two lines") << "première ligne\r\nseconde ligne" << "un commentaire";
  QTest::newRow("final line break") << "ligne\r\nautre\r\n" << "a\r\nb";
  QTest::newRow("empty line inside") << "haut\r\n\r\nbas" << "x";
  QTest::newRow("tabs, commas, no-break spaces") << "prix\t: 10,50\u00a0€" << "virgule, point.";
  QTest::newRow("placeholders stay") << "<Vide>" << "<Sans commentaire>";
}

void EditorWindowTest::textsRoundTripUnchanged() {
  QFETCH(QString, text);
  QFETCH(QString, comment);
  Mcontenu* content = UiModel::comment("Titre", toCp1252(text));
  content->SetCommentaire(EncodeText(toCp1252(comment)));
  const std::string storedText = content->Texte();
  const std::string storedComment = content->Commentaire();

  TMDIChild_OAOR* window = EditObject(content, content->classe());
  TFrame_description* description = contentFrame(window)->Frame_description;
  // As the user reads it (the toolkit shows no-break spaces as spaces here).
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(0xa0), QLatin1Char(' '));
  QCOMPARE(description->RE_texte->toPlainText(), shown);
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(content->Texte(), storedText);
  QCOMPARE(content->Commentaire(), storedComment);
  QCOMPARE(decoded(content->Texte()), text);
}

void EditorWindowTest::headerFieldsAreStored_data() {
  QTest::addColumn<bool>("done");
  QTest::addColumn<bool>("event");
  QTest::addColumn<int>("mark");
  QTest::newRow("done, mark 3") << true << false << 3;
  QTest::newRow("event, mark 5") << false << true << 5;
  QTest::newRow("both, no mark") << true << true << 0;
}

// Typed and clicked as a user does; the selection list driven by its keys.
void EditorWindowTest::headerFieldsAreStored() {
  QFETCH(bool, done);
  QFETCH(bool, event);
  QFETCH(int, mark);
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  TFrame_contenu* frame = contentFrame(window);
  TFrame_entete_contenu* header = frame->Frame_entete;
  typeText(header->Ed_titre_note, QStringLiteral("Réunion d'été"));
  if (done) QTest::mouseClick(header->CB_realise, Qt::LeftButton, {}, QPoint(5, header->CB_realise->height() / 2));
  if (event) QTest::mouseClick(header->CB_evt, Qt::LeftButton, {}, QPoint(5, header->CB_evt->height() / 2));
  for (int i = 0; i < mark; ++i) QTest::keyClick(header->CB_smiley, Qt::Key_Down);
  QTest::keyClicks(frame->Frame_description->RE_texte, QStringLiteral("Le texte"));
  QTest::keyClick(frame->Frame_description->RE_texte, Qt::Key_Return);
  QTest::keyClicks(frame->Frame_description->RE_texte, QStringLiteral("suite"));
  typeText(frame->Frame_description->RE_commentaire, QStringLiteral("rien à dire"));
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);

  Mcontenu* content = onlyComment();
  QVERIFY(content);
  QCOMPARE(content->Titre(), std::string("Réunion d'été"_w));
  QCOMPARE(content->Realise(), done);
  QCOMPARE(content->Evenement(), event);
  QCOMPARE(content->Satisfaction(), mark);
  QCOMPARE(decoded(content->Texte()), QStringLiteral("Le texte\r\nsuite"));
  QCOMPARE(decoded(content->Commentaire()), QStringLiteral("rien à dire"));

  // Opened again, it shows what was stored.
  window = EditObject(content, content->classe());
  header = contentFrame(window)->Frame_entete;
  QCOMPARE(header->Ed_titre_note->text(), QStringLiteral("Réunion d'été"));
  QCOMPARE(header->CB_realise->isChecked(), done);
  QCOMPARE(header->CB_evt->isChecked(), event);
  QCOMPARE(header->CB_smiley->currentIndex(), mark);
}

void EditorWindowTest::satisfactionShownAsStored_data() {
  QTest::addColumn<int>("stored"); // -2: never set
  QTest::addColumn<int>("shown");
  QTest::addColumn<int>("saved");
  QTest::newRow("never set") << -2 << -1 << -1;
  QTest::newRow("0") << 0 << 0 << 0;
  QTest::newRow("4") << 4 << 4 << 4;
}

void EditorWindowTest::satisfactionShownAsStored() {
  QFETCH(int, stored);
  QFETCH(int, shown);
  QFETCH(int, saved);
  Mcontenu* content = UiModel::comment("Note");
  if (stored != -2) content->SetSatisfaction(stored);
  TMDIChild_OAOR* window = EditObject(content, content->classe());
  QCOMPARE(contentFrame(window)->Frame_entete->CB_smiley->currentIndex(), shown);
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(content->Satisfaction(), saved);
}

void EditorWindowTest::ctrlWSavesLikeOk_data() {
  QTest::addColumn<QString>("focused");
  QTest::newRow("title") << "Ed_titre_note";
  QTest::newRow("text") << "RE_texte";
  QTest::newRow("comment") << "RE_commentaire";
  QTest::newRow("satisfaction") << "CB_smiley";
  QTest::newRow("OK button") << "BB_valider";
}

void EditorWindowTest::ctrlWSavesLikeOk() {
  QFETCH(QString, focused);
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  const QPointer<TMDIChild_OAOR> guard(window);
  TFrame_contenu* frame = contentFrame(window);
  QTest::keyClicks(frame->Frame_entete->Ed_titre_note, QStringLiteral("Titre"));
  QTest::keyClicks(frame->Frame_description->RE_texte, QStringLiteral("Texte"));
  auto* target = window->findChild<QWidget*>(focused);
  QVERIFY(target);
  QTest::keyClick(target, Qt::Key_W, Qt::ControlModifier);

  Mcontenu* content = onlyComment();
  QVERIFY(content);
  QCOMPARE(content->Titre(), std::string("Titre"));
  QCOMPARE(decoded(content->Texte()), QStringLiteral("Texte"));
  QCOMPARE(content->Commentaire(), std::string("<Sans commentaire>"));
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Ok);
  QVERIFY(DocumentManager::instance().DocumentModified());
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  processDeletions();
  QVERIFY(!guard);
}

void EditorWindowTest::cancellingStoresNothing_data() {
  QTest::addColumn<bool>("escape");
  QTest::newRow("Annuler") << false;
  QTest::newRow("Escape") << true;
}

void EditorWindowTest::cancellingStoresNothing() {
  QFETCH(bool, escape);
  // A new comment: nothing is created.
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  typeText(contentFrame(window)->Frame_entete->Ed_titre_note, QStringLiteral("Abandonné"));
  if (escape) QTest::keyClick(contentFrame(window)->Frame_entete->Ed_titre_note, Qt::Key_Escape);
  else QTest::mouseClick(window->BB_annuler, Qt::LeftButton);
  QCOMPARE(Mcontenu::Class().LoadedCount(), 0);
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Cancel);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());

  // An existing one keeps its fields.
  Mcontenu* content = UiModel::comment("Avant", "texte d'avant");
  window = EditObject(content, content->classe());
  TFrame_contenu* frame = contentFrame(window);
  frame->Frame_entete->Ed_titre_note->setText(QStringLiteral("Après"));
  typeText(frame->Frame_description->RE_texte, QStringLiteral(" modifié"));
  if (escape) QTest::keyClick(frame->Frame_description->RE_texte, Qt::Key_Escape);
  else QTest::mouseClick(window->BB_annuler, Qt::LeftButton);
  QCOMPARE(content->Titre(), std::string("Avant"));
  QCOMPARE(decoded(content->Texte()), QStringLiteral("texte d'avant"));
  QVERIFY(!DocumentManager::instance().DocumentModified());
}

void EditorWindowTest::closingFromTheTitleBarKeepsTheLastResult() {
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Ok);
  window = EditObject(nullptr, Mcontenu::Class());
  const QPointer<TMDIChild_OAOR> guard(window);
  window->close();
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Ok);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  QCOMPARE(Mcontenu::Class().LoadedCount(), 1);
  processDeletions();
  QVERIFY(!guard);
}

// The window outlives its object: OK must not write into freed memory.
void EditorWindowTest::okAfterTheObjectWasDeletedStoresNothing() {
  Mcontenu* content = UiModel::comment("Éphémère");
  TMDIChild_OAOR* window = EditObject(content, content->classe());
  contentFrame(window)->Frame_entete->Ed_titre_note->setText(QStringLiteral("Modifié"));
  content->Delete();
  // A new comment may well take the deleted one's place in memory.
  UiModel::comment("Nouveau");
  QVERIFY(!window->Frame()->Object());
  QVERIFY(window->Frame()->ObjectGone());
  // Nor is it taken for a window on a new comment.
  QVERIFY(EditObject(nullptr, Mcontenu::Class()) != window);

  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Cancel);
  QVERIFY(!TMDIChild_OAOR::OpenWindows().contains(window));
  QCOMPARE(model_->prompts.texts(),
           std::vector<std::string>{
               std::string("Cet objet n'existe plus : les modifications ne peuvent pas être enregistrées."_w)});
  for (MObject_OCS* object : Mcontenu::Class().LoadedObjects())
    QVERIFY(static_cast<Mcontenu*>(object)->Titre() != "Modifié");
}

// What fails inside OK is reported in the "Erreur" box; the window stays, and
// its OK works once the cause is gone.
void EditorWindowTest::aFailingOkKeepsTheWindowOpen() {
  Mcontenu* content = UiModel::comment("Avant");
  TMDIChild_OAOR* window = EditObject(content, content->classe());
  contentFrame(window)->Frame_entete->Ed_titre_note->setText(QStringLiteral("Après"));
  DocumentManager::instance().modifiedChanged = [](bool) { throw ConvertError("'x' n'est pas correct", "x"); };
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(model_->prompts.shown.size(), std::size_t(1));
  QCOMPARE(model_->prompts.shown[0].kind, test::RecordingPrompts::Kind::Error);
  QCOMPARE(model_->prompts.shown[0].text, std::string("'x' n'est pas correct"));
  QVERIFY(window->isVisible());
  QCOMPARE(TMDIChild_OAOR::OpenWindows(), QList<TMDIChild_OAOR*>{window});

  DocumentManager::instance().modifiedChanged = nullptr;
  QTest::keyClick(contentFrame(window)->Frame_entete->Ed_titre_note, Qt::Key_W, Qt::ControlModifier);
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Ok);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  QCOMPARE(content->Titre(), std::string("Après"_w));
  QCOMPARE(model_->prompts.shown.size(), std::size_t(1));
}

// New and Open free every object: the windows on them go first, storing
// nothing, the modal one returning as cancelled.
void EditorWindowTest::closingTheDocumentClosesTheWindows() {
  Mcontenu* content = UiModel::comment("Ouvert");
  TMDIChild_OAOR* open = EditObject(content, content->classe());
  const QPointer<TMDIChild_OAOR> guard(open);
  contentFrame(open)->Frame_entete->Ed_titre_note->setText(QStringLiteral("Tapé"));
  onNextModal<TMDIChild_OAOR>([](TMDIChild_OAOR*) { DocumentManager::instance().CloseDocument(); });
  QCOMPARE(EditObjectModally(nullptr, Mcontenu::Class()), nullptr);
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Cancel);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  QVERIFY(!open->isVisible());
  processDeletions();
  QVERIFY(!guard);
  QVERIFY(model_->prompts.shown.empty());
}

void EditorWindowTest::clearPaintsTheFields_data() {
  QTest::addColumn<bool>("editable");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("editable") << true << QColor(Qt::white);
  QTest::newRow("read only") << false << QColor(128, 128, 128);
}

void EditorWindowTest::clearPaintsTheFields() {
  QFETCH(bool, editable);
  QFETCH(QColor, colour);
  TFrame_contenu frame;
  frame.SetClass(Mcontenu::Class());
  frame.Open(UiModel::comment("Plein", "du texte"));
  frame.Frame_entete->CB_realise->setChecked(true);
  frame.Clear(editable);
  TFrame_entete_contenu* header = frame.Frame_entete;
  QCOMPARE(header->Ed_titre_note->text(), QString());
  QCOMPARE(header->CB_smiley->count(), 6);
  QCOMPARE(header->CB_smiley->currentIndex(), 0);
  QVERIFY(header->CB_realise->isChecked()); // the check boxes keep their state
  QCOMPARE(frame.Frame_description->RE_texte->toPlainText(), QString());
  const QList<QWidget*> fields{header->Ed_titre_note, header->CB_smiley, frame.Frame_description->RE_texte,
                               frame.Frame_description->RE_commentaire};
  for (QWidget* field : fields) {
    QCOMPARE(field->isEnabled(), editable);
    QCOMPARE(field->palette().color(QPalette::Base), colour);
  }
  QCOMPARE(header->CB_realise->isEnabled(), editable);
  QCOMPARE(header->CB_evt->isEnabled(), editable);
}

void EditorWindowTest::ctrlTabTypesATab() {
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  QTextEdit* text = contentFrame(window)->Frame_description->RE_texte;
  QTest::keyClicks(text, QStringLiteral("a"));
  QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
  QTest::keyClicks(text, QStringLiteral("b"));
  QCOMPARE(text->toPlainText(), QStringLiteral("a\tb"));
  QVERIFY(text->tabChangesFocus());
}

void EditorWindowTest::framesByRegistryName_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("frame");
  QTest::newRow("content") << "TFrame_contenu" << "TFrame_contenu";
  QTest::newRow("case of the name") << "tframe_CONTENU" << "TFrame_contenu";
  QTest::newRow("person") << "TFrame_personne" << "TFrame_personne";
  QTest::newRow("company") << "TFrame_societe" << "TFrame_societe";
  QTest::newRow("unknown") << "TFrame_inconnu" << "MissingEditorFrame";
}

void EditorWindowTest::framesByRegistryName() {
  QFETCH(QString, name);
  QFETCH(QString, frame);
  QWidget parent;
  TFrame_OAOR* made = CreateEditorFrame(name.toStdString(), &parent);
  QCOMPARE(made->objectName(), frame);
  QCOMPARE(made->parentWidget(), &parent);
}

void EditorWindowTest::classWithoutItsEditorStoresNothing() {
  // Registered with a frame this program does not have.
  Tadministration_FRAME::instance().registerClass(Tdocument::Class(), "TFrame_document", std::nullopt, 4);
  TMDIChild_OAOR* window = EditObject(nullptr, Tdocument::Class());
  QCOMPARE(window->Frame()->objectName(), QStringLiteral("MissingEditorFrame"));
  QCOMPARE(window->windowTitle(), fromCp1252(Tdocument::Class().ClassDisplayName()));
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(Tdocument::Class().LoadedCount(), 0);
  // The other classes have theirs, as registered.
  const std::pair<const ClassRef*, QString> registered[] = {{&TSociete::Class(), "TFrame_societe"},
                                                             {&Mutilisateur_tessel::Class(), "TFrame_personne"},
                                                             {&Mactivite_tessel::Class(), "TFrame_contenu"}};
  for (const auto& [cls, frame] : registered) {
    window = EditObject(nullptr, *cls);
    QCOMPARE(window->Frame()->objectName(), frame);
    window->Annuler();
  }
}

void EditorWindowTest::themesPanelOnlyWhenThemesExist() {
  TMDIChild_OAOR* window = EditObject(nullptr, Mcontenu::Class());
  QVERIFY(!contentFrame(window)->Frame_entete->Panel_themes->isVisible());
  TObjRec::CreateNamed(Ttheme::Class(), "Racine");
  TMDIChild_OAOR* other = EditObject(UiModel::comment(std::string("Avec thèmes"_w)), Mcontenu::Class());
  TFrame_entete_contenu* header = contentFrame(other)->Frame_entete;
  QVERIFY(header->Panel_themes->isVisible());
  QCOMPARE(header->Label_themes->text(), QStringLiteral("0 thème(s)"));
}

void EditorWindowTest::themesChosenInTheSelectionWindow() {
  TForme_liste_objets selection;
  TObjRec* root = TObjRec::CreateNamed(Ttheme::Class(), "Racine");
  root->SetInvariant(true);
  TObjRec* work = TObjRec::CreateNamed(Ttheme::Class(), "Travail");
  TObjRec* family = TObjRec::CreateNamed(Ttheme::Class(), "Famille");
  TObjRec* sport = TObjRec::CreateNamed(Ttheme::Class(), "Sport");
  Mcontenu* content = UiModel::comment("Classée");
  content->themes().Add(work);

  TMDIChild_OAOR* window = EditObject(content, content->classe());
  TFrame_entete_contenu* header = contentFrame(window)->Frame_entete;
  QCOMPARE(header->Label_themes->text(), QStringLiteral("1 thème(s)"));

  onNextModal<TForme_liste_objets>([&](TForme_liste_objets* shown) {
    QCOMPARE(shown, &selection);
    QVERIFY(header->TLB_themes->isChecked());
    TFrame_LB_obj* frame = shown->Frame_LB_obj;
    QCOMPARE(frame->TitleText(), QStringLiteral("2 Thèmes(s)")); // Famille and Sport
    QCOMPARE(frame->LB_choix->count(), 1);
    const QRect editor = window->frameGeometry();
    QCOMPARE(shown->pos(), QPoint(editor.x() + editor.width(), editor.y()));
    for (const QString& name : {QStringLiteral("Sport"), QStringLiteral("Famille")}) {
      const QList<QListWidgetItem*> found = frame->LB_obj->findItems(name, Qt::MatchExactly);
      QCOMPARE(found.size(), 1);
      frame->LB_obj->setCurrentItem(found.front());
      frame->Choose();
    }
    QTest::mouseClick(shown->BB_ok, Qt::LeftButton);
  });
  QTest::mouseClick(header->TLB_themes, Qt::LeftButton);
  QVERIFY(!header->TLB_themes->isChecked());
  QCOMPARE(header->Label_themes->text(), QStringLiteral("3 thème(s)"));
  // Walked from the last chosen to the first.
  QCOMPARE(header->ThemesHint(), QStringLiteral("Travail\nSport\nFamille"));

  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(content->themes().Items(), (ObjectList{family, sport, work}));

  // Saved with no theme at all: the first theme object is linked.
  window = EditObject(UiModel::comment(std::string("Sans thème"_w)), Mcontenu::Class());
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  auto* untitled = static_cast<Mcontenu*>(Mcontenu::Class().LoadedObjects().back());
  QCOMPARE(untitled->themes().Items(), ObjectList{root});
}

// A theme that is not loaded is not shown, and saving keeps the link.
void EditorWindowTest::themeLinksNotShownAreKept() {
  TObjRec* kept = TObjRec::CreateNamed(Ttheme::Class(), "Ancien");
  TObjRec* shown = TObjRec::CreateNamed(Ttheme::Class(), "Visible");
  Mcontenu* content = UiModel::comment("Ancienne note");
  content->themes().Add(kept);
  content->themes().Add(shown);
  kept->Release();
  delete kept;

  TMDIChild_OAOR* window = EditObject(content, content->classe());
  TFrame_entete_contenu* header = contentFrame(window)->Frame_entete;
  QCOMPARE(header->ThemesHint(), QStringLiteral("Visible"));
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(content->themes().Count(), 2);
  QCOMPARE(content->themes().Items(), (ObjectList{nullptr, shown}));
}

QTEST_MAIN(EditorWindowTest)
#include "Fenetre_Child_OAOR_test.moc"
