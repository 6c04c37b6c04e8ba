// The resource editors: the person and company editors in their editor
// windows, what each field stores, the date of birth, the company list with
// its "..." and new-company buttons, the comment, the taxonomy strip and its
// "+", and the mail and web buttons.

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_class_ressource_societe.h"
#include "model/U_class_user_tessel.h"
#include "ui/Cadre_res_personne.h"
#include "ui/Cadre_res_societe.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Fenetre_liste_obj.h"
#include "UiModelFixture.h"
#include "UiTestHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <memory>
#include <tuple>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::UiModel;

namespace {

TFrame_personne* personFrame(const TMDIChild_OAOR* window) { return qobject_cast<TFrame_personne*>(window->Frame()); }
TFrame_societe* companyFrame(const TMDIChild_OAOR* window) { return qobject_cast<TFrame_societe*>(window->Frame()); }

Mutilisateur_tessel* makeUser(const QString& name) {
  auto* user = new Mutilisateur_tessel;
  user->SetNom(toCp1252(name));
  return user;
}

TSociete* makeCompany(const QString& name) {
  auto* company = new TSociete;
  company->SetNom(toCp1252(name));
  return company;
}

double dayOfDate(const QDate& date) { return EncodeDate(date.year(), date.month(), date.day()); }

QStringList itemsOf(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

// Key by key, accented letters included (keyClicks takes ASCII only).
void typeText(QWidget* widget, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace

// Receives what the mail and web buttons hand to the desktop.
class UrlRecorder : public QObject {
  Q_OBJECT
public:
  QList<QUrl> opened;
public slots:
  void open(const QUrl& url) { opened << url; }
};

class ResourceEditorTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void layoutOfThePersonEditor();
  void layoutOfTheCompanyEditor();
  void personFieldsStoreTheirAttributes_data();
  void personFieldsStoreTheirAttributes();
  void companyFieldsStoreTheirAttributes_data();
  void companyFieldsStoreTheirAttributes();
  void storedAttributesAreShown();
  void dateOfBirth_data();
  void dateOfBirth();
  void companyListKeepsOrSetsTheCompany();
  void openingTheSelectedCompany();
  void newCompany_data();
  void newCompany();
  void comment_data();
  void comment();
  void nodesChosenWithPlus();
  void aResourceWithoutNodesGetsTheFirstOne();
  void mailAndWebButtons_data();
  void mailAndWebButtons();
  void employeesOfACompany();
  void clearPaintsTheFields();

private:
  std::unique_ptr<UiModel> model_;
  std::unique_ptr<TForme_liste_objets> selection_;
};

void ResourceEditorTest::init() {
  model_ = std::make_unique<UiModel>();
  selection_ = std::make_unique<TForme_liste_objets>();
}

void ResourceEditorTest::cleanup() {
  selection_.reset();
  model_.reset();
}

void ResourceEditorTest::layoutOfThePersonEditor() {
  TMDIChild_OAOR* window = EditObject(makeUser("Durand"), Mutilisateur_tessel::Class());
  TFrame_personne* frame = personFrame(window);
  QVERIFY(frame);
  QCOMPARE(frame->size(), QSize(250, 490));
  QCOMPARE(window->size(), QSize(260, 530));
  QCOMPARE(window->windowTitle(), QStringLiteral("Individu :  Durand..."));

  QCOMPARE(frame->Panel_entete->height(), 104);
  const std::pair<QLabel*, QWidget*> header[] = {{frame->Label_civilite, frame->CB_Civilite},
                                                 {frame->Label_nom, frame->Mio_edit_nom},
                                                 {frame->Label_prenom, frame->Mio_edit_prenom}};
  const QStringList captions{"Civilité", "Nom", "Prénom"};
  const int tops[] = {10, 36, 64};
  for (std::size_t i = 0; i < std::size(header); ++i) {
    QCOMPARE(header[i].first->text(), captions[int(i)]);
    QVERIFY(header[i].first->font().bold());
    QCOMPARE(header[i].first->x(), 8);
    QCOMPARE(header[i].second->geometry().topLeft(), QPoint(72, tops[i]));
    QCOMPARE(header[i].second->width(), 153);
  }
  QCOMPARE(itemsOf(frame->CB_Civilite), (QStringList{"", "Mr", "Mme", "Melle"}));
  QVERIFY(frame->CB_Civilite->isEditable());
  QVERIFY(!frame->CB_societe->isEditable());

  QCOMPARE(frame->PC_personne->count(), 3);
  QCOMPARE(frame->PC_personne->tabText(0), QStringLiteral("Professionnel"));
  QCOMPARE(frame->PC_personne->tabText(1), QStringLiteral("Personnel"));
  QCOMPARE(frame->PC_personne->tabText(2), QStringLiteral("Notes..."));
  QCOMPARE(frame->PC_personne->currentIndex(), 0);
  // Every field with its caption, in the designed order.
  const QStringList professional{"Société", "Téléphone", "Téléphone Portable (GSM)", "Fax", "Mél professionel",
                                 "Web (URL)"};
  const QStringList personal{"N°", "Rue", "CP", "Ville", "Téléphone (domicile)", "Mél privé"};
  for (const auto& [page, expected] : {std::pair{frame->TS_professionnel, professional}, std::pair{frame->TS_personnel, personal}}) {
    QStringList shown;
    for (const QLabel* label : page->findChildren<QLabel*>()) shown << label->text();
    QCOMPARE(shown, expected);
  }
  QCOMPARE(frame->TS_notes->findChild<QLabel*>()->text(), QStringLiteral("Aucune note n'est associée à cette personne."));
  QCOMPARE(frame->CB_ddn->text(), QStringLiteral("Date de Naissance"));
  QCOMPARE(frame->CB_personnel->text(), QStringLiteral("Personnel"));
  const std::pair<QToolButton*, const char*> hints[] = {{frame->SB_ouvrir_societe, "Ouvrir societe"},
                                                        {frame->SB_nouvelle_societe, "Créer une nouvelle societe"},
                                                        {frame->SB_mel, "Envoyer un mail"},
                                                        {frame->SB_web, "Se connecter à Internet"},
                                                        {frame->SB_mel_prive, "Envoyer un mail privé"}};
  for (const auto& [button, hint] : hints) {
    QCOMPARE(button->toolTip(), QString::fromUtf8(hint));
    QVERIFY(!button->icon().isNull());
  }

  QCOMPARE(frame->Panel_commentaire->height(), 50);
  QCOMPARE(frame->Label_commentaire->text(), QStringLiteral(" Commentaires"));
  QCOMPARE(frame->Label_commentaire->alignment() & Qt::AlignRight, Qt::AlignRight);
  QCOMPARE(frame->RE_commentaire->toolTip(), QStringLiteral("CRTL+TAB pour les tabulations"));
  QCOMPARE(frame->Panel_OR->height(), 22);
  QCOMPARE(frame->Label_or->text(), QStringLiteral("0 Catégorie individu"));
  QCOMPARE(frame->TLB_TOR->text(), QStringLiteral("+"));
  QVERIFY(!frame->TLB_TOR->icon().isNull());

  // Everything fits: the frame's layout needs no more than its size.
  QVERIFY(frame->minimumSizeHint().height() <= 490);
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window));
  for (QWidget* page : {frame->TS_professionnel, frame->TS_personnel}) {
    frame->PC_personne->setCurrentWidget(page);
    for (const QWidget* child : page->findChildren<QWidget*>())
      if (child->isVisible())
        QVERIFY2(page->rect().contains(child->geometry().translated(child->parentWidget()->mapTo(page, QPoint()))),
                 qPrintable(child->objectName()));
  }
}

void ResourceEditorTest::layoutOfTheCompanyEditor() {
  TMDIChild_OAOR* window = EditObject(nullptr, TSociete::Class());
  TFrame_societe* frame = companyFrame(window);
  QVERIFY(frame);
  QCOMPARE(frame->size(), QSize(350, 410));
  QCOMPARE(window->size(), QSize(360, 450));
  QCOMPARE(window->windowTitle(), QStringLiteral("Société"));
  QCOMPARE(frame->Panel_entete->height(), 56);
  QCOMPARE(frame->Label_nom->text(), QStringLiteral("Nom de la société"));
  QVERIFY(frame->Label_nom->font().bold());
  QCOMPARE(frame->Label_nom->pos(), QPoint(8, 6));
  QCOMPARE(frame->Ed_nom->geometry().topLeft(), QPoint(16, 24));
  QCOMPARE(frame->Ed_nom->width(), 209);
  QCOMPARE(frame->PC_societe->tabText(0), QStringLiteral("Général"));
  QCOMPARE(frame->PC_societe->tabText(1), QStringLiteral("Employé(s)"));
  QStringList captions;
  for (const QLabel* label : frame->TS_general->findChildren<QLabel*>()) captions << label->text();
  QCOMPARE(captions, (QStringList{"Téléphone", "Fax", "Web (URL)", "N°", "Rue", "CP", "Ville"}));
  QCOMPARE(frame->SB_web->toolTip(), QStringLiteral("Se connecter à Internet"));
  QCOMPARE(frame->ME_telephone->displayText(), QStringLiteral("__-__-__-__-__"));
  QCOMPARE(frame->TelephoneText(), QString::fromLatin1(EmptyCompanyTelephone));
  // A company without links.
  QCOMPARE(frame->Label_or->text(), QStringLiteral("0 Type de société"));
  QVERIFY(frame->minimumSizeHint().height() <= 410);
}

void ResourceEditorTest::personFieldsStoreTheirAttributes_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("attribute");
  QTest::addColumn<QString>("typed");
  QTest::newRow("name") << "Mio_edit_nom" << "nom" << "Lefèvre";
  QTest::newRow("first name") << "Mio_edit_prenom" << "prenom" << "Hélène";
  QTest::newRow("telephone") << "ME_telephone" << "telephone" << "01 23 45 67 89";
  QTest::newRow("mobile") << "ME_telephone_gsm" << "gsm" << "06 11 22 33 44";
  QTest::newRow("fax") << "Ed_fax" << "Fax" << "01 23 45 67 80";
  QTest::newRow("mail") << "Ed_mel" << "mail" << "h.lefevre@exemple.fr";
  QTest::newRow("web, read as Web, written as web") << "Ed_web" << "web" << "www.exemple.fr";
  QTest::newRow("street number") << "Ed_numero_maison" << "numero_maison" << "12 bis";
  QTest::newRow("street") << "Ed_rue_maison" << "rue_maison" << "rue des Écoles";
  QTest::newRow("postal code") << "Ed_CP_maison" << "code_postal_maison" << "75005";
  QTest::newRow("town") << "ED_Ville_maison" << "ville_maison" << "Paris";
  QTest::newRow("home telephone") << "ME_telephone_domicile" << "telephone_domicile" << "01 98 76 54 32";
  QTest::newRow("private mail") << "Ed_mel_prive" << "Mail_prive" << "helene@maison.fr";
}

void ResourceEditorTest::personFieldsStoreTheirAttributes() {
  QFETCH(QString, field);
  QFETCH(QString, attribute);
  QFETCH(QString, typed);
  Mutilisateur_tessel* user = makeUser("Lefèvre");
  TMDIChild_OAOR* window = EditObject(user, user->classe());
  auto* edit = personFrame(window)->findChild<QLineEdit*>(field);
  QVERIFY(edit);
  edit->clear();
  typeText(edit, typed);
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(fromCp1252(user->GetString(toCp1252(attribute))), typed);
  // Names ignore case: one attribute, whichever way it is spelled.
  QCOMPARE(fromCp1252(user->GetString(toCp1252(attribute.toUpper()))), typed);
  QVERIFY(DocumentManager::instance().DocumentModified());
}

void ResourceEditorTest::companyFieldsStoreTheirAttributes_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("attribute");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("stored");
  QTest::newRow("name, read as Nom, written as nom") << "Ed_nom" << "Nom" << "Varnelle SA" << "Varnelle SA";
  QTest::newRow("telephone keeps its dashes") << "ME_telephone" << "Telephone" << "0123456789" << "01-23-45-67-89";
  QTest::newRow("telephone partly typed") << "ME_telephone" << "Telephone" << "0123" << "01-23-  -  -  ";
  QTest::newRow("empty telephone") << "ME_telephone" << "Telephone" << "" << EmptyCompanyTelephone;
  QTest::newRow("fax") << "Ed_fax" << "Fax" << "01 23 45 67 80" << "01 23 45 67 80";
  QTest::newRow("web") << "Ed_web" << "Web" << "https://varnelle.fr" << "https://varnelle.fr";
  QTest::newRow("street number") << "Ed_numero" << "numero_societe" << "7" << "7";
  QTest::newRow("street") << "Ed_rue" << "rue_societe" << "avenue Foch" << "avenue Foch";
  QTest::newRow("postal code") << "Ed_CP" << "code_postal_societe" << "69006" << "69006";
  QTest::newRow("town") << "Ed_ville" << "ville_societe" << "Lyon" << "Lyon";
}

void ResourceEditorTest::companyFieldsStoreTheirAttributes() {
  QFETCH(QString, field);
  QFETCH(QString, attribute);
  QFETCH(QString, typed);
  QFETCH(QString, stored);
  TMDIChild_OAOR* window = EditObject(nullptr, TSociete::Class());
  auto* edit = companyFrame(window)->findChild<QLineEdit*>(field);
  QVERIFY(edit);
  edit->setFocus();
  edit->setCursorPosition(0);
  typeText(edit, typed);
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(TSociete::Class().LoadedCount(), 1);
  const MObject_OCS* company = TSociete::Class().LoadedItem(0);
  QCOMPARE(fromCp1252(company->GetString(toCp1252(attribute))), stored);
  QCOMPARE(fromCp1252(company->GetString(toCp1252(attribute.toLower()))), stored);
}

// What is stored shows in the fields, the masked telephone included.
void ResourceEditorTest::storedAttributesAreShown() {
  TSociete* company = makeCompany("Varnelle");
  company->SetTelephone("01-23-45-67-89");
  company->SetWeb("varnelle.fr");
  TMDIChild_OAOR* onCompany = EditObject(company, company->classe());
  TFrame_societe* companyEditor = companyFrame(onCompany);
  QCOMPARE(companyEditor->Ed_nom->text(), QStringLiteral("Varnelle"));
  QCOMPARE(companyEditor->ME_telephone->displayText(), QStringLiteral("01-23-45-67-89"));
  QCOMPARE(companyEditor->Ed_web->text(), QStringLiteral("varnelle.fr"));
  // Stored as an empty field stores it, shown as the empty mask.
  company->SetTelephone(EmptyCompanyTelephone);
  companyEditor->Open(company);
  QCOMPARE(companyEditor->ME_telephone->displayText(), QStringLiteral("__-__-__-__-__"));

  Mutilisateur_tessel* user = makeUser("Martin");
  user->SetCivilite("Mme");
  user->SetPrenom(std::string("Zoé"_w));
  user->SetWeb("www.zoe.fr");
  user->SetPersonnel(true);
  user->SetEntreprise(company);
  TFrame_personne* personEditor = personFrame(EditObject(user, user->classe()));
  QCOMPARE(personEditor->CB_Civilite->currentText(), QStringLiteral("Mme"));
  QCOMPARE(personEditor->Mio_edit_prenom->text(), QStringLiteral("Zoé"));
  QCOMPARE(personEditor->Ed_web->text(), QStringLiteral("www.zoe.fr"));
  QVERIFY(personEditor->CB_personnel->isChecked());
  QCOMPARE(personEditor->SelectedCompany(), company);
  QCOMPARE(personEditor->CB_societe->currentText(), QStringLiteral("Varnelle"));

  // A typed civility is stored as typed; "Personnel" unchecked is stored.
  personEditor->CB_Civilite->setEditText(QStringLiteral("Dr"));
  personEditor->CB_personnel->click();
  personEditor->Save();
  QCOMPARE(user->Civilite(), std::string("Dr"));
  QVERIFY(!user->Personnel());
}

void ResourceEditorTest::dateOfBirth_data() {
  QTest::addColumn<double>("stored");
  QTest::addColumn<bool>("check"); // click the box before saving
  QTest::addColumn<QDate>("picked");
  QTest::addColumn<double>("saved");
  const QDate none;
  QTest::newRow("none stays none") << 0.0 << false << none << 0.0;
  QTest::newRow("checked and picked, stored at midnight")
      << 0.0 << true << QDate(1975, 6, 14) << double(EncodeDate(1975, 6, 14));
  QTest::newRow("a date kept") << double(EncodeDate(1980, 2, 29)) << false << none << double(EncodeDate(1980, 2, 29));
  QTest::newRow("a date unchecked becomes none") << double(EncodeDate(1980, 2, 29)) << true << none << 0.0;
  QTest::newRow("a stored time of day is dropped")
      << double(EncodeDate(1990, 1, 2) + EncodeTime(13, 30, 0)) << false << none << double(EncodeDate(1990, 1, 2));
}

void ResourceEditorTest::dateOfBirth() {
  QFETCH(double, stored);
  QFETCH(bool, check);
  QFETCH(QDate, picked);
  QFETCH(double, saved);
  Mutilisateur_tessel* user = makeUser("Petit");
  user->SetDateDeNaissance(stored);
  TMDIChild_OAOR* window = EditObject(user, user->classe());
  TFrame_personne* frame = personFrame(window);
  QCOMPARE(frame->CB_ddn->isChecked(), stored != 0);
  QCOMPARE(frame->DTP_ddn->isEnabled(), stored != 0);
  if (stored == 0) QCOMPARE(frame->DTP_ddn->date(), QDate::currentDate());
  else QCOMPARE(dayOfDate(frame->DTP_ddn->date()), std::floor(stored));
  if (check) {
    frame->CB_ddn->click();
    QCOMPARE(frame->DTP_ddn->isEnabled(), frame->CB_ddn->isChecked());
  }
  if (picked.isValid()) frame->DTP_ddn->setDate(picked);
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(user->DateDeNaissance(), saved);
}

void ResourceEditorTest::companyListKeepsOrSetsTheCompany() {
  TSociete* first = makeCompany("Alpha");
  TSociete* second = makeCompany("Bêta");
  Mutilisateur_tessel* user = makeUser("Roux");
  user->SetEntreprise(first);
  TMDIChild_OAOR* window = EditObject(user, user->classe());
  TFrame_personne* frame = personFrame(window);
  QCOMPARE(itemsOf(frame->CB_societe), (QStringList{"Alpha", "Bêta"}));
  QCOMPARE(frame->SelectedCompany(), first);
  QVERIFY(frame->SB_ouvrir_societe->isEnabled());

  // No selection: the company stays.
  frame->CB_societe->setCurrentIndex(-1);
  QVERIFY(!frame->SB_ouvrir_societe->isEnabled());
  frame->Save();
  QCOMPARE(user->Entreprise(), first);
  // A person without a company shows none selected, and keeps none.
  Mutilisateur_tessel* alone = makeUser("Seul");
  frame->Open(alone);
  QCOMPARE(frame->CB_societe->currentIndex(), -1);
  frame->Save();
  QCOMPARE(alone->Entreprise(), nullptr);
  // Choosing one stores it.
  frame->Open(user);
  frame->CB_societe->setCurrentIndex(1);
  frame->Save();
  QCOMPARE(user->Entreprise(), second);
}

void ResourceEditorTest::openingTheSelectedCompany() {
  TSociete* company = makeCompany("Alpha");
  makeCompany("Zêta");
  Mutilisateur_tessel* user = makeUser("Roux");
  user->SetEntreprise(company);
  TFrame_personne* frame = personFrame(EditObject(user, user->classe()));
  onNextModal<TMDIChild_OAOR>([&](TMDIChild_OAOR* editor) {
    TFrame_societe* companyEditor = companyFrame(editor);
    QVERIFY(companyEditor);
    QCOMPARE(companyEditor->Object(), company);
    companyEditor->Ed_nom->setText(QStringLiteral("Omega"));
    QTest::mouseClick(editor->BB_valider, Qt::LeftButton);
  });
  QTest::mouseClick(frame->SB_ouvrir_societe, Qt::LeftButton);
  QCOMPARE(company->Nom(), std::string("Omega"));
  // The list again, the company selected again under its new name.
  QCOMPARE(itemsOf(frame->CB_societe), (QStringList{"Omega", "Zêta"}));
  QCOMPARE(frame->SelectedCompany(), company);
}

void ResourceEditorTest::newCompany_data() {
  QTest::addColumn<QString>("close"); // how the company's window is closed
  QTest::addColumn<bool>("kept");
  QTest::newRow("OK") << "OK" << true;
  QTest::newRow("Annuler") << "Annuler" << false;
  QTest::newRow("title bar, after an OK elsewhere") << "title bar" << false;
}

void ResourceEditorTest::newCompany() {
  QFETCH(QString, close);
  QFETCH(bool, kept);
  TSociete* existing = makeCompany("Alpha");
  Mutilisateur_tessel* user = makeUser("Roux");
  user->SetEntreprise(existing);
  // The last editor window closed with OK: a window closed otherwise must
  // not pass for one.
  QTest::mouseClick(EditObject(nullptr, Mcontenu::Class())->BB_valider, Qt::LeftButton);
  QCOMPARE(TMDIChild_OAOR::LastResult(), EditorResult::Ok);

  TFrame_personne* frame = personFrame(EditObject(user, user->classe()));
  onNextModal<TMDIChild_OAOR>([&](TMDIChild_OAOR* editor) {
    TFrame_societe* companyEditor = companyFrame(editor);
    QVERIFY(companyEditor && companyEditor->Object());
    QCOMPARE(TSociete::Class().LoadedCount(), 2);
    companyEditor->Ed_nom->setText(QStringLiteral("Nouvelle"));
    if (close == "OK") QTest::mouseClick(editor->BB_valider, Qt::LeftButton);
    else if (close == "Annuler") QTest::mouseClick(editor->BB_annuler, Qt::LeftButton);
    else editor->close();
  });
  QTest::mouseClick(frame->SB_nouvelle_societe, Qt::LeftButton);
  if (kept) {
    QCOMPARE(TSociete::Class().LoadedCount(), 2);
    QCOMPARE(itemsOf(frame->CB_societe), (QStringList{"Alpha", "Nouvelle"}));
    QCOMPARE(frame->CB_societe->currentText(), QStringLiteral("Nouvelle"));
  } else {
    QCOMPARE(TSociete::Class().LoadedObjects(), ObjectList{existing});
    QCOMPARE(itemsOf(frame->CB_societe), QStringList{"Alpha"});
    QCOMPARE(frame->SelectedCompany(), existing);
  }
  frame->Save();
  QCOMPARE(user->Entreprise(), kept ? TSociete::Class().LoadedItem(1) : existing);
}

void ResourceEditorTest::comment_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("stored"); // decoded
  QTest::newRow("empty") << "" << "<Sans commentaire>";
  QTest::newRow("blanks only") << "  \n " << "<Sans commentaire>";
  QTest::newRow("two lines") << "première\nseconde, suite" << "première\r\nseconde, suite";
}

void ResourceEditorTest::comment() {
  QFETCH(QString, typed);
  QFETCH(QString, stored);
  for (const ClassRef* cls : {&TSociete::Class(), &Mutilisateur_tessel::Class()}) {
    TMDIChild_OAOR* window = EditObject(nullptr, *cls);
    auto* frame = qobject_cast<TFrame_Mressource*>(window->Frame());
    QVERIFY(frame);
    frame->RE_commentaire->setPlainText(typed);
    QTest::mouseClick(window->BB_valider, Qt::LeftButton);
    auto* resource = static_cast<Mressource*>(cls->LoadedObjects().back());
    QCOMPARE(fromCp1252(DecodeText(resource->Commentaire())), stored);
    // Shown back as stored; saving again keeps it.
    window = EditObject(resource, *cls);
    frame = qobject_cast<TFrame_Mressource*>(window->Frame());
    QCOMPARE(frame->RE_commentaire->toPlainText(), QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const std::string before = resource->Commentaire();
    QTest::mouseClick(window->BB_valider, Qt::LeftButton);
    QCOMPARE(resource->Commentaire(), before);
  }
}

void ResourceEditorTest::nodesChosenWithPlus() {
  TObjRec* root = TObjRec::CreateNamed(TMOOR_individu::Class(), "Racine");
  root->SetInvariant(true);
  TObjRec* family = TObjRec::CreateNamed(TMOOR_individu::Class(), "Famille");
  TObjRec* client = TObjRec::CreateNamed(TMOOR_individu::Class(), "Client");
  TObjRec* colleague = TObjRec::CreateNamed(TMOOR_individu::Class(), "Collègue"_w);
  Mutilisateur_tessel* user = makeUser("Roux");
  user->links().Add(family);

  TMDIChild_OAOR* window = EditObject(user, user->classe());
  TFrame_personne* frame = personFrame(window);
  QCOMPARE(frame->Label_or->text(), QStringLiteral("1 Catégorie individu"));
  onNextModal<TForme_liste_objets>([&](TForme_liste_objets* shown) {
    QVERIFY(frame->TLB_TOR->isChecked());
    TFrame_LB_obj* list = shown->Frame_LB_obj;
    QCOMPARE(list->TitleText(), QStringLiteral("2 Catégorie individu")); // the root is invariant
    QCOMPARE(list->LB_choix->count(), 1);
    const QRect editor = window->frameGeometry();
    QCOMPARE(shown->pos(), QPoint(editor.x() + editor.width(), editor.y()));
    for (const QString& name : {QStringLiteral("Collègue"), QStringLiteral("Client")}) {
      const QList<QListWidgetItem*> found = list->LB_obj->findItems(name, Qt::MatchExactly);
      QCOMPARE(found.size(), 1);
      list->LB_obj->setCurrentItem(found.front());
      list->Choose();
    }
    QTest::mouseClick(shown->BB_ok, Qt::LeftButton);
  });
  QTest::mouseClick(frame->TLB_TOR, Qt::LeftButton);
  QVERIFY(!frame->TLB_TOR->isChecked());
  QCOMPARE(frame->Label_or->text(), QStringLiteral("3 Catégorie individu"));
  // The chosen list walked from its last item to its first; the hint from
  // the last node to the first.
  QCOMPARE(frame->PB_OR->toolTip(), QStringLiteral("Famille\nCollègue\nClient"));
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(user->links().Items(), (ObjectList{client, colleague, family}));

  // Cancelled: nothing changes.
  frame = personFrame(EditObject(user, user->classe()));
  onNextModal<TForme_liste_objets>([](TForme_liste_objets* shown) { QTest::mouseClick(shown->BB_annuler, Qt::LeftButton); });
  QTest::mouseClick(frame->TLB_TOR, Qt::LeftButton);
  QCOMPARE(frame->Label_or->text(), QStringLiteral("3 Catégorie individu"));
}

// Saved without any node while the taxonomy has some: the first one. Nodes
// that are not loaded were never shown and stay.
void ResourceEditorTest::aResourceWithoutNodesGetsTheFirstOne() {
  TObjRec* first = TObjRec::CreateNamed(TMOOR_individu::Class(), "Racine");
  TObjRec::CreateNamed(TMOOR_individu::Class(), "Autre");
  Mutilisateur_tessel* user = makeUser("Roux");
  TMDIChild_OAOR* window = EditObject(user, user->classe());
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(user->links().Items(), ObjectList{first});

  // Company types are not loaded with the document: a company's links to
  // them are kept as they are.
  TSociete* company = makeCompany("Alpha");
  TObjRec* type = TObjRec::CreateNamed(TMOOR_societe::Class(), "Client");
  company->links().Add(type);
  type->Release();
  delete type;
  window = EditObject(company, company->classe());
  QCOMPARE(companyFrame(window)->Label_or->text(), QStringLiteral("0 Type de société"));
  QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  QCOMPARE(company->links().Count(), 1);
}

void ResourceEditorTest::mailAndWebButtons_data() {
  QTest::addColumn<bool>("company");
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("opened"); // empty: nothing opened
  QTest::newRow("mail") << false << "Ed_mel" << "SB_mel" << "h.roux@exemple.fr" << "mailto:h.roux@exemple.fr";
  QTest::newRow("private mail") << false << "Ed_mel_prive" << "SB_mel_prive" << "helene@maison.fr"
                                << "mailto:helene@maison.fr";
  QTest::newRow("web") << false << "Ed_web" << "SB_web" << "https://exemple.fr/roux" << "https://exemple.fr/roux";
  QTest::newRow("web without scheme") << false << "Ed_web" << "SB_web" << "www.exemple.fr" << "http://www.exemple.fr";
  QTest::newRow("company web") << true << "Ed_web" << "SB_web" << "varnelle.fr" << "http://varnelle.fr";
  QTest::newRow("empty mail") << false << "Ed_mel" << "SB_mel" << "" << "";
  QTest::newRow("empty web") << true << "Ed_web" << "SB_web" << "  " << "";
}

void ResourceEditorTest::mailAndWebButtons() {
  QFETCH(bool, company);
  QFETCH(QString, field);
  QFETCH(QString, button);
  QFETCH(QString, typed);
  QFETCH(QString, opened);
  UrlRecorder recorder;
  for (const char* scheme : {"mailto", "http", "https"})
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
  TMDIChild_OAOR* window =
      company ? EditObject(nullptr, TSociete::Class()) : EditObject(nullptr, Mutilisateur_tessel::Class());
  window->Frame()->findChild<QLineEdit*>(field)->setText(typed);
  QTest::mouseClick(window->Frame()->findChild<QToolButton*>(button), Qt::LeftButton);
  for (const char* scheme : {"mailto", "http", "https"}) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  QCOMPARE(recorder.opened, opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
}

void ResourceEditorTest::employeesOfACompany() {
  TSociete* company = makeCompany("Alpha");
  TSociete* other = makeCompany("Bêta");
  for (const auto& [name, firstName, employer] : {std::tuple{"Roux", "Hélène", company},
                                                  std::tuple{"Martin", "Abel", company},
                                                  std::tuple{"Petit", "Zoé", other}}) {
    Mutilisateur_tessel* user = makeUser(QString::fromUtf8(name));
    user->SetPrenom(toCp1252(QString::fromUtf8(firstName)));
    user->SetEntreprise(employer);
  }
  TFrame_societe* frame = companyFrame(EditObject(company, company->classe()));
  QStringList names;
  for (int i = 0; i < frame->LB_employes->count(); ++i) names << frame->LB_employes->item(i)->text();
  QCOMPARE(names, (QStringList{"Abel Martin", "Hélène Roux"}));
}

void ResourceEditorTest::clearPaintsTheFields() {
  TMDIChild_OAOR* window = EditObject(makeUser("Roux"), Mutilisateur_tessel::Class());
  TFrame_personne* frame = personFrame(window);
  for (const bool editable : {false, true}) {
    frame->Clear(editable);
    for (QWidget* field : std::initializer_list<QWidget*>{frame->Mio_edit_nom, frame->Ed_web, frame->CB_societe,
                                                          frame->CB_Civilite, frame->RE_commentaire}) {
      QCOMPARE(field->isEnabled(), editable);
      QCOMPARE(field->palette().color(QPalette::Base), editable ? QColor(Qt::white) : QColor(128, 128, 128));
    }
    QCOMPARE(frame->Mio_edit_nom->text(), QString());
    QCOMPARE(frame->SB_nouvelle_societe->isEnabled(), editable);
    QVERIFY(!frame->DTP_ddn->isEnabled());
  }
}

QTEST_MAIN(ResourceEditorTest)
#include "Cadre_ressource_test.moc"
