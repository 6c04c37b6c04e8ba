#include "ui/Cadre_res_personne.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"
#include "model/U_class_ressource_personne.h"
#include "model/U_class_ressource_societe.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "widgets/MessageBoxPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr QSize DesignedSize{250, 490};
constexpr int HeaderHeight = 104;
constexpr std::uint32_t PersonColour = 0x399B5F; // RGB(95,155,57)
constexpr int HeaderLabelLeft = 8;
constexpr int HeaderFieldLeft = 72;
constexpr int HeaderFieldWidth = 153;

// The captions of the labels, by name.
constexpr std::pair<const char*, const char*> LabelCaptions[] = {
    {"Label_civilite", "Civilité"},
    {"Label_nom", "Nom"},
    {"Label_prenom", "Prénom"},
    {"Label_societe", "Société"},
    {"Label_telephone", "Téléphone"},
    {"Label_gsm", "Téléphone Portable (GSM)"},
    {"Label_fax", "Fax"},
    {"Label_mel", "Mél professionel"},
    {"Label_web", "Web (URL)"},
    {"Label_numero", "N°"},
    {"Label_rue", "Rue"},
    {"Label_CP", "CP"},
    {"Label_ville", "Ville"},
    {"Label_telephone_domicile", "Téléphone (domicile)"},
    {"Label_mel_prive", "Mél privé"},
    {"Label_notes", "Aucune note n'est associée à cette personne."},
};

TDateTime dayOf(const QDate& date) { return EncodeDate(date.year(), date.month(), date.day()); }

QDate dateOf(TDateTime day) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  return QDate(y, m, d);
}

// The company list as FillCompanyCombo fills it: each item's company is
// watched, as the user may keep the list open while companies go.
class CompanyList : public ComboSink {
public:
  CompanyList(QComboBox& box, std::vector<WatchedObject>& companies) : box_(box), companies_(companies) {}
  void clear() override {
    box_.clear();
    companies_.clear();
  }
  void addItem(const std::string& text, MObject_OCS* object) override {
    box_.addItem(fromCp1252(text));
    companies_.emplace_back(object);
  }
  int count() const override { return box_.count(); }
  MObject_OCS* objectAt(int index) const override { return companies_.at(std::size_t(index)).get(); }
  void setCurrentIndex(int index) override { box_.setCurrentIndex(index); }

private:
  QComboBox& box_;
  std::vector<WatchedObject>& companies_;
};

QWidget* newPage(const char* name) {
  auto* page = new QWidget;
  page->setObjectName(QLatin1String(name));
  return page;
}

} // namespace

TFrame_personne::TFrame_personne(QWidget* parent)
    : TFrame_Mressource(parent),
      Panel_entete(new QWidget(this)),
      Label_civilite(NewLabel("Label_civilite", Panel_entete, true)),
      Label_nom(NewLabel("Label_nom", Panel_entete, true)),
      Label_prenom(NewLabel("Label_prenom", Panel_entete, true)),
      CB_Civilite(new QComboBox(Panel_entete)),
      Mio_edit_nom(NewField("Mio_edit_nom", Panel_entete)),
      Mio_edit_prenom(NewField("Mio_edit_prenom", Panel_entete)),
      PC_personne(new QTabWidget(this)),
      TS_professionnel(newPage("TS_professionnel")),
      TS_personnel(newPage("TS_personnel")),
      TS_notes(newPage("TS_notes")),
      CB_societe(new QComboBox),
      SB_ouvrir_societe(NewFieldButton("SB_ouvrir_societe", QStringLiteral("action-company-open.svg"),
                                       QStringLiteral("Ouvrir societe"), nullptr)),
      SB_nouvelle_societe(NewFieldButton("SB_nouvelle_societe", QStringLiteral("action-company-new.svg"),
                                         QStringLiteral("Créer une nouvelle societe"), nullptr)),
      ME_telephone(NewField("ME_telephone", nullptr)),
      ME_telephone_gsm(NewField("ME_telephone_gsm", nullptr)),
      Ed_fax(NewField("Ed_fax", nullptr)),
      Ed_mel(NewField("Ed_mel", nullptr)),
      SB_mel(NewFieldButton("SB_mel", QStringLiteral("common-mail.svg"), QStringLiteral("Envoyer un mail"), nullptr)),
      Ed_web(NewField("Ed_web", nullptr)),
      SB_web(NewFieldButton("SB_web", QStringLiteral("common-internet.svg"), QStringLiteral("Se connecter à Internet"),
                            nullptr)),
      Ed_numero_maison(NewField("Ed_numero_maison", nullptr)),
      Ed_rue_maison(NewField("Ed_rue_maison", nullptr)),
      Ed_CP_maison(NewField("Ed_CP_maison", nullptr)),
      ED_Ville_maison(NewField("ED_Ville_maison", nullptr)),
      ME_telephone_domicile(NewField("ME_telephone_domicile", nullptr)),
      Ed_mel_prive(NewField("Ed_mel_prive", nullptr)),
      SB_mel_prive(NewFieldButton("SB_mel_prive", QStringLiteral("common-mail.svg"),
                                  QStringLiteral("Envoyer un mail privé"), nullptr)),
      CB_ddn(new QCheckBox),
      DTP_ddn(new QDateEdit),
      CB_personnel(new QCheckBox),
      fields_{{Mio_edit_nom, "nom", "nom"},
              {Mio_edit_prenom, "prenom", "prenom"},
              {Ed_mel, "mail", "mail"},
              {Ed_mel_prive, "Mail_prive", "Mail_prive"},
              {Ed_fax, "Fax", "Fax"},
              {Ed_web, "Web", "web"},
              {ME_telephone, "telephone", "telephone"},
              {ME_telephone_gsm, "gsm", "gsm"},
              {Ed_numero_maison, "numero_maison", "numero_maison"},
              {Ed_rue_maison, "rue_maison", "rue_maison"},
              {Ed_CP_maison, "code_postal_maison", "code_postal_maison"},
              {ED_Ville_maison, "ville_maison", "ville_maison"},
              {ME_telephone_domicile, "telephone_domicile", "telephone_domicile"}} {
  setObjectName(QStringLiteral("TFrame_personne"));
  buildHeader();
  buildProfessionalPage();
  buildPersonalPage();

  // No screen of the program links a note to a person: the page says so.
  auto* noNotes = NewLabel("Label_notes", TS_notes);
  noNotes->setAlignment(Qt::AlignCenter);
  noNotes->setWordWrap(true);
  noNotes->setEnabled(false);
  auto* notesLayout = new QVBoxLayout(TS_notes);
  notesLayout->addWidget(noNotes);

  PC_personne->setObjectName(QStringLiteral("PC_personne"));
  PC_personne->addTab(TS_professionnel, QString());
  PC_personne->addTab(TS_personnel, QString());
  PC_personne->addTab(TS_notes, QString());
  BodyLayout()->addWidget(Panel_entete);
  BodyLayout()->addWidget(PC_personne, 1);

  connect(SB_ouvrir_societe, &QToolButton::clicked, this, Reported([this] { OpenCompany(); }));
  connect(SB_nouvelle_societe, &QToolButton::clicked, this, Reported([this] { NewCompany(); }));
  connect(SB_mel, &QToolButton::clicked, this, Reported([this] { SendMail(Ed_mel->text()); }));
  connect(SB_mel_prive, &QToolButton::clicked, this, Reported([this] { SendMail(Ed_mel_prive->text()); }));
  connect(SB_web, &QToolButton::clicked, this, Reported([this] { OpenWebAddress(Ed_web->text()); }));
  connect(CB_societe, &QComboBox::currentIndexChanged, this, [this] { companySelectionChanged(); });
  connect(CB_ddn, &QCheckBox::toggled, this, [this] { birthDateChecked(); });

  resize(DesignedSize);
  TFrame_personne::SetLanguage(0);
  TFrame_personne::Clear(true);
}

TFrame_personne::~TFrame_personne() = default;

void TFrame_personne::buildHeader() {
  Panel_entete->setObjectName(QStringLiteral("Panel_entete"));
  Panel_entete->setFixedHeight(HeaderHeight);
  Panel_entete->installEventFilter(this);
  CB_Civilite->setObjectName(QStringLiteral("CB_Civilite"));
  CB_Civilite->setEditable(true);
  CB_Civilite->setInsertPolicy(QComboBox::NoInsert);
  CB_Civilite->addItems({QString(), QStringLiteral("Mr"), QStringLiteral("Mme"), QStringLiteral("Melle")});
  const std::pair<QLabel*, QWidget*> rows[] = {
      {Label_civilite, CB_Civilite}, {Label_nom, Mio_edit_nom}, {Label_prenom, Mio_edit_prenom}};
  // Rows at 10, 36 and 62 (the first name 2 pixels lower), as designed;
  // each label centred on its field.
  const int tops[] = {10, 36, 64};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto [label, field] = rows[i];
    const int height = field->sizeHint().height();
    field->setGeometry(HeaderFieldLeft, tops[i], HeaderFieldWidth, height);
    label->setGeometry(HeaderLabelLeft, tops[i], HeaderFieldLeft - HeaderLabelLeft - 2, height);
    label->setBuddy(field);
  }
}

void TFrame_personne::buildProfessionalPage() {
  auto* form = new QFormLayout(TS_professionnel);
  form->setRowWrapPolicy(QFormLayout::WrapAllRows);
  form->setContentsMargins(6, 4, 6, 4);
  form->setVerticalSpacing(1);
  CB_societe->setObjectName(QStringLiteral("CB_societe"));
  SB_ouvrir_societe->setText(QStringLiteral("..."));
  const std::pair<const char*, QWidget*> rows[] = {
      {"Label_societe", WithButtons(CB_societe, {SB_ouvrir_societe, SB_nouvelle_societe})},
      {"Label_telephone", ME_telephone},
      {"Label_gsm", ME_telephone_gsm},
      {"Label_fax", Ed_fax},
      {"Label_mel", WithButtons(Ed_mel, {SB_mel})},
      {"Label_web", WithButtons(Ed_web, {SB_web})}};
  for (const auto& [name, field] : rows) {
    QLabel* label = NewLabel(name, TS_professionnel);
    label->setBuddy(field->focusProxy() ? field->focusProxy() : field);
    form->addRow(label, field);
  }
}

void TFrame_personne::buildPersonalPage() {
  auto* grid = new QGridLayout(TS_personnel);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  grid->setColumnStretch(1, 1);
  // Label over field; short fields in the first column beside a long one.
  struct Cell {
    const char* label;
    QWidget* field;
    int row, column, span;
  };
  const Cell cells[] = {{"Label_numero", Ed_numero_maison, 0, 0, 1},
                        {"Label_rue", Ed_rue_maison, 0, 1, 1},
                        {"Label_CP", Ed_CP_maison, 2, 0, 1},
                        {"Label_ville", ED_Ville_maison, 2, 1, 1},
                        {"Label_telephone_domicile", ME_telephone_domicile, 4, 0, 2},
                        {"Label_mel_prive", WithButtons(Ed_mel_prive, {SB_mel_prive}), 6, 0, 2}};
  for (const Cell& cell : cells) {
    QLabel* label = NewLabel(cell.label, TS_personnel);
    label->setBuddy(cell.field);
    grid->addWidget(label, cell.row, cell.column, 1, cell.span);
    grid->addWidget(cell.field, cell.row + 1, cell.column, 1, cell.span);
  }
  Ed_numero_maison->setFixedWidth(48);
  Ed_CP_maison->setFixedWidth(64);
  grid->setColumnMinimumWidth(0, 64);

  CB_ddn->setObjectName(QStringLiteral("CB_ddn"));
  DTP_ddn->setObjectName(QStringLiteral("DTP_ddn"));
  DTP_ddn->setCalendarPopup(true);
  DTP_ddn->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
  // 0 is "no date": the picker starts after it.
  DTP_ddn->setMinimumDate(QDate(1900, 1, 1));
  CB_personnel->setObjectName(QStringLiteral("CB_personnel"));
  grid->setRowMinimumHeight(8, 6);
  grid->addWidget(CB_ddn, 9, 0, 1, 2);
  grid->addWidget(DTP_ddn, 10, 0, 1, 2, Qt::AlignLeft);
  grid->setRowMinimumHeight(11, 6);
  grid->addWidget(CB_personnel, 12, 0, 1, 2);
  grid->setRowStretch(13, 1);
}

void TFrame_personne::SetLanguage(int languageIndex) {
  TFrame_Mressource::SetLanguage(languageIndex);
  for (const auto& [name, text] : LabelCaptions)
    if (auto* label = findChild<QLabel*>(QLatin1String(name))) label->setText(QString::fromUtf8(text));
  PC_personne->setTabText(0, QStringLiteral("Professionnel"));
  PC_personne->setTabText(1, QStringLiteral("Personnel"));
  PC_personne->setTabText(2, QStringLiteral("Notes..."));
  CB_ddn->setText(QStringLiteral("Date de Naissance"));
  CB_personnel->setText(QStringLiteral("Personnel"));
}

void TFrame_personne::SetClass(const ClassRef& cls) {
  TFrame_Mressource::SetClass(cls);
  PC_personne->setCurrentIndex(0);
  resize(DesignedSize);
  fillCompanies(nullptr);
}

void TFrame_personne::Clear(bool editable) {
  TFrame_Mressource::Clear(editable);
  editable_ = editable;
  ClearFields(fields_, editable);
  CB_Civilite->setCurrentIndex(-1);
  CB_Civilite->clearEditText();
  CB_societe->setCurrentIndex(-1);
  for (QWidget* field : {static_cast<QWidget*>(CB_Civilite), static_cast<QWidget*>(CB_societe)})
    PaintField(field, editable);
  for (QCheckBox* box : {CB_ddn, CB_personnel}) {
    box->setChecked(false);
    box->setEnabled(editable);
  }
  DTP_ddn->setDate(QDate::currentDate());
  for (QToolButton* button : {SB_nouvelle_societe, SB_mel, SB_web, SB_mel_prive}) button->setEnabled(editable);
  birthDateChecked();
  companySelectionChanged();
}

void TFrame_personne::ShowObject(MObject_OCS* object) {
  TFrame_Mressource::ShowObject(object);
  auto* person = dynamic_cast<Mindividu*>(object);
  if (!person) {
    CompanyList(*CB_societe, companies_).clear();
    return;
  }
  ShowFields(*person, fields_);
  CB_Civilite->setEditText(fromCp1252(person->Civilite()));
  const TDateTime born = person->DateDeNaissance();
  CB_ddn->setChecked(born != 0);
  DTP_ddn->setDate(born != 0 ? dateOf(born) : QDate::currentDate());
  CB_personnel->setChecked(person->Personnel());
  fillCompanies(person->Entreprise());
  birthDateChecked();
}

void TFrame_personne::Save() {
  TFrame_Mressource::Save();
  auto* person = dynamic_cast<Mindividu*>(Object());
  if (!person) return;
  SaveFields(*person, fields_);
  person->SetCivilite(toCp1252(CB_Civilite->currentText()));
  person->SetDateDeNaissance(CB_ddn->isChecked() ? dayOf(DTP_ddn->date()) : 0);
  person->SetPersonnel(CB_personnel->isChecked());
  if (TSociete* company = SelectedCompany()) person->SetEntreprise(company);
}

TSociete* TFrame_personne::SelectedCompany() const {
  const int index = CB_societe->currentIndex();
  if (index < 0 || std::size_t(index) >= companies_.size()) return nullptr;
  return dynamic_cast<TSociete*>(companies_[std::size_t(index)].get());
}

void TFrame_personne::OpenCompany() {
  TSociete* company = SelectedCompany();
  if (!company) return;
  const WatchedObject edited(company);
  EditObjectModally(company, company->classe());
  fillCompanies(edited.get());
}

void TFrame_personne::NewCompany() {
  const WatchedObject company(new TSociete);
  EditorResult result = EditorResult::Cancel;
  try {
    EditObjectModally(company.get(), TSociete::Class(), &result);
  } catch (...) {
    if (MObject_OCS* unsaved = company.get()) unsaved->Delete();
    throw;
  }
  // The document may have closed meanwhile, taking the company along.
  MObject_OCS* made = company.get();
  if (!made) return;
  if (result == EditorResult::Ok) {
    fillCompanies(made);
  } else {
    made->Delete();
  }
}

void TFrame_personne::fillCompanies(const MObject_OCS* selected) {
  CompanyList list(*CB_societe, companies_);
  const QSignalBlocker quiet(CB_societe);
  FillCompanyCombo(list, TSociete::Class().LoadedObjects(), selected);
  // Adding the first item selects it: nothing is selected unless asked.
  if (!selected || SelectedCompany() != selected) CB_societe->setCurrentIndex(-1);
  companySelectionChanged();
}

void TFrame_personne::companySelectionChanged() { SB_ouvrir_societe->setEnabled(editable_ && SelectedCompany()); }

void TFrame_personne::birthDateChecked() { DTP_ddn->setEnabled(editable_ && CB_ddn->isChecked()); }

bool TFrame_personne::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel_entete && event->type() == QEvent::Paint) {
    PaintHeader(*Panel_entete, PersonColour);
    return true;
  }
  return TFrame_Mressource::eventFilter(watched, event);
}

} // namespace tessel
