#pragma once
// The person editor (users of the program are persons): civility, name and
// first name on a header in the colour of the person categories, then the
// pages "Professionnel" (company, telephones, mail, web), "Personnel" (home
// address, private mail, date of birth) and "Notes...". Companies are
// created and edited from here, each in an editor window of its own.

#include "ui/Cadre_ressource.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QTabWidget;

namespace tessel {

class TSociete;

class TFrame_personne : public TFrame_Mressource {
  Q_OBJECT
public:
  explicit TFrame_personne(QWidget* parent = nullptr);
  ~TFrame_personne() override;

  // Every field from its attribute; the company list refilled with the
  // person's company selected. Without an object the frame holds nothing,
  // companies included.
  void ShowObject(MObject_OCS* object) override;
  void Clear(bool editable) override;
  // 250 by 490 pixels, the first page, every company and none selected.
  void SetClass(const ClassRef& cls) override;
  void SetLanguage(int languageIndex) override;
  // Every field into its attribute; the date of birth 0 when unchecked; the
  // company kept when none is selected.
  void Save() override;

  // The company selected in "Société", null when none is.
  TSociete* SelectedCompany() const;

  QWidget* const Panel_entete;
  QLabel* const Label_civilite;
  QLabel* const Label_nom;
  QLabel* const Label_prenom;
  QComboBox* const CB_Civilite;
  QLineEdit* const Mio_edit_nom;
  QLineEdit* const Mio_edit_prenom;

  QTabWidget* const PC_personne;
  QWidget* const TS_professionnel;
  QWidget* const TS_personnel;
  QWidget* const TS_notes;

  QComboBox* const CB_societe;
  QToolButton* const SB_ouvrir_societe;
  QToolButton* const SB_nouvelle_societe;
  QLineEdit* const ME_telephone;
  QLineEdit* const ME_telephone_gsm;
  QLineEdit* const Ed_fax;
  QLineEdit* const Ed_mel;
  QToolButton* const SB_mel;
  QLineEdit* const Ed_web;
  QToolButton* const SB_web;

  QLineEdit* const Ed_numero_maison;
  QLineEdit* const Ed_rue_maison;
  QLineEdit* const Ed_CP_maison;
  QLineEdit* const ED_Ville_maison;
  QLineEdit* const ME_telephone_domicile;
  QLineEdit* const Ed_mel_prive;
  QToolButton* const SB_mel_prive;
  QCheckBox* const CB_ddn;
  QDateEdit* const DTP_ddn;
  QCheckBox* const CB_personnel;

public slots:
  // "...": the selected company in an editor window, modally; then the list
  // again with that company selected.
  void OpenCompany();
  // A new company in an editor window, modally: kept and selected when the
  // window is closed with OK, deleted otherwise.
  void NewCompany();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void buildHeader();
  void buildProfessionalPage();
  void buildPersonalPage();
  void fillCompanies(const MObject_OCS* selected);
  void companySelectionChanged();
  void birthDateChecked();

  // The texts of the mapping, each with its attribute.
  const std::vector<TextField> fields_;
  // The companies of CB_societe's items, by index.
  std::vector<WatchedObject> companies_;
  bool editable_ = true;
};

} // namespace tessel
