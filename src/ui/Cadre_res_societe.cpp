#include "ui/Cadre_res_societe.h"

#include "foundation/Cp1252.h"
#include "model/U_class_ressource_personne.h"
#include "model/U_class_ressource_societe.h"
#include "widgets/MessageBoxPrompts.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr QSize DesignedSize{350, 410};
constexpr int HeaderHeight = 56;
constexpr std::uint32_t CompanyColour = 0x1746B5; // RGB(181,70,23)
// Five groups of two digits, none required; the dashes are kept in the text.
const QString TelephoneMask = QStringLiteral("00-00-00-00-00;_");

} // namespace

TFrame_societe::TFrame_societe(QWidget* parent)
    : TFrame_Mressource(parent),
      Panel_entete(new QWidget(this)),
      Label_nom(NewLabel("Label_nom", Panel_entete, true)),
      Ed_nom(NewField("Ed_nom", Panel_entete)),
      PC_societe(new QTabWidget(this)),
      TS_general(new QWidget),
      TS_employes(new QWidget),
      ME_telephone(NewField("ME_telephone", nullptr)),
      Ed_fax(NewField("Ed_fax", nullptr)),
      Ed_web(NewField("Ed_web", nullptr)),
      SB_web(NewFieldButton("SB_web", QStringLiteral("common-internet.svg"), QStringLiteral("Se connecter à Internet"),
                            nullptr)),
      Ed_numero(NewField("Ed_numero", nullptr)),
      Ed_rue(NewField("Ed_rue", nullptr)),
      Ed_CP(NewField("Ed_CP", nullptr)),
      Ed_ville(NewField("Ed_ville", nullptr)),
      LB_employes(new QListWidget),
      fields_{{Ed_nom, "Nom", "nom"},
              {Ed_fax, "Fax", "Fax"},
              {Ed_web, "Web", "Web"},
              {Ed_numero, "numero_societe", "numero_societe"},
              {Ed_rue, "rue_societe", "rue_societe"},
              {Ed_CP, "code_postal_societe", "code_postal_societe"},
              {Ed_ville, "ville_societe", "ville_societe"}} {
  setObjectName(QStringLiteral("TFrame_societe"));

  Panel_entete->setObjectName(QStringLiteral("Panel_entete"));
  Panel_entete->setFixedHeight(HeaderHeight);
  Panel_entete->installEventFilter(this);
  Label_nom->move(8, 6);
  // Light on the dark end of the gradient.
  QPalette light = Label_nom->palette();
  light.setColor(QPalette::WindowText, Qt::white);
  Label_nom->setPalette(light);
  Label_nom->setBuddy(Ed_nom);
  Ed_nom->setGeometry(16, 24, 209, Ed_nom->sizeHint().height());

  ME_telephone->setInputMask(TelephoneMask);
  TS_general->setObjectName(QStringLiteral("TS_general"));
  auto* form = new QFormLayout(TS_general);
  form->setContentsMargins(8, 8, 8, 6);
  form->setVerticalSpacing(4);
  const std::pair<const char*, QWidget*> rows[] = {
      {"Label_telephone", ME_telephone}, {"Label_fax", Ed_fax},    {"Label_web", WithButtons(Ed_web, {SB_web})},
      {"Label_numero", Ed_numero},       {"Label_rue", Ed_rue},    {"Label_CP", Ed_CP},
      {"Label_ville", Ed_ville}};
  for (const auto& [name, field] : rows) {
    QLabel* label = NewLabel(name, TS_general);
    label->setBuddy(field);
    form->addRow(label, field);
  }
  ME_telephone->setFixedWidth(ME_telephone->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00-00-00")) + 16);
  Ed_numero->setFixedWidth(64);
  Ed_CP->setFixedWidth(80);

  TS_employes->setObjectName(QStringLiteral("TS_employes"));
  LB_employes->setObjectName(QStringLiteral("LB_employes"));
  LB_employes->setSelectionMode(QAbstractItemView::NoSelection);
  LB_employes->setFocusPolicy(Qt::NoFocus);
  auto* employees = new QVBoxLayout(TS_employes);
  employees->setContentsMargins(6, 6, 6, 6);
  employees->addWidget(LB_employes);

  PC_societe->setObjectName(QStringLiteral("PC_societe"));
  PC_societe->addTab(TS_general, QString());
  PC_societe->addTab(TS_employes, QString());
  BodyLayout()->addWidget(Panel_entete);
  BodyLayout()->addWidget(PC_societe, 1);

  connect(SB_web, &QToolButton::clicked, this, Reported([this] { OpenWebAddress(Ed_web->text()); }));

  resize(DesignedSize);
  TFrame_societe::SetLanguage(0);
  TFrame_societe::Clear(true);
}

TFrame_societe::~TFrame_societe() = default;

void TFrame_societe::SetLanguage(int languageIndex) {
  TFrame_Mressource::SetLanguage(languageIndex);
  Label_nom->setText(QStringLiteral("Nom de la société"));
  Label_nom->adjustSize();
  const std::pair<const char*, const char*> captions[] = {
      {"Label_telephone", "Téléphone"}, {"Label_fax", "Fax"}, {"Label_web", "Web (URL)"}, {"Label_numero", "N°"},
      {"Label_rue", "Rue"},             {"Label_CP", "CP"},   {"Label_ville", "Ville"}};
  for (const auto& [name, text] : captions)
    if (auto* label = TS_general->findChild<QLabel*>(QLatin1String(name))) label->setText(QString::fromUtf8(text));
  PC_societe->setTabText(0, QStringLiteral("Général"));
  PC_societe->setTabText(1, QStringLiteral("Employé(s)"));
}

void TFrame_societe::SetClass(const ClassRef& cls) {
  TFrame_Mressource::SetClass(cls);
  PC_societe->setCurrentIndex(0);
  resize(DesignedSize);
}

void TFrame_societe::Clear(bool editable) {
  TFrame_Mressource::Clear(editable);
  ClearFields(fields_, editable);
  ME_telephone->clear();
  PaintField(ME_telephone, editable);
  SB_web->setEnabled(editable);
  LB_employes->clear();
}

void TFrame_societe::ShowObject(MObject_OCS* object) {
  TFrame_Mressource::ShowObject(object);
  auto* company = dynamic_cast<TSociete*>(object);
  if (!company) return;
  ShowFields(*company, fields_);
  ME_telephone->setText(fromCp1252(company->Telephone()));
  fillEmployees(company);
}

void TFrame_societe::Save() {
  TFrame_Mressource::Save();
  auto* company = dynamic_cast<TSociete*>(Object());
  if (!company) return;
  SaveFields(*company, fields_);
  company->SetTelephone(toCp1252(TelephoneText()));
}

QString TFrame_societe::TelephoneText() const {
  // The displayed text keeps every position; blanks show as the mask's "_".
  QString text = ME_telephone->displayText();
  text.replace(QLatin1Char('_'), QLatin1Char(' '));
  return text;
}

void TFrame_societe::fillEmployees(const MObject_OCS* company) {
  LB_employes->clear();
  for (MObject_OCS* object : Mindividu::Class().LoadedObjectsWithSubclasses())
    if (auto* person = dynamic_cast<Mindividu*>(object); person && person->Entreprise() == company)
      LB_employes->addItem(fromCp1252(person->DisplayText()).trimmed());
  LB_employes->sortItems();
}

bool TFrame_societe::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel_entete && event->type() == QEvent::Paint) {
    PaintHeader(*Panel_entete, CompanyColour);
    return true;
  }
  return TFrame_Mressource::eventFilter(watched, event);
}

} // namespace tessel
