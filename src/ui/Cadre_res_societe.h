#pragma once
// The company editor: the name on a header in the colour of the company
// types, then the pages "Général" (telephone, fax, web, address) and
// "Employé(s)" (the persons who work there).

#include "ui/Cadre_ressource.h"

#include <vector>

class QListWidget;
class QTabWidget;

namespace tessel {

// An empty company telephone as the field stores it: the mask's dashes
// around blank digits.
inline constexpr char EmptyCompanyTelephone[] = "  -  -  -  -  ";

class TFrame_societe : public TFrame_Mressource {
  Q_OBJECT
public:
  explicit TFrame_societe(QWidget* parent = nullptr);
  ~TFrame_societe() override;

  void ShowObject(MObject_OCS* object) override;
  void Clear(bool editable) override;
  // 350 by 410 pixels, the first page.
  void SetClass(const ClassRef& cls) override;
  void SetLanguage(int languageIndex) override;
  // The fields into their attributes; the telephone with its mask's dashes.
  void Save() override;

  // The telephone as stored: blanks for the digits not typed.
  QString TelephoneText() const;

  QWidget* const Panel_entete;
  QLabel* const Label_nom;
  QLineEdit* const Ed_nom;
  QTabWidget* const PC_societe;
  QWidget* const TS_general;
  QWidget* const TS_employes;
  QLineEdit* const ME_telephone;
  QLineEdit* const Ed_fax;
  QLineEdit* const Ed_web;
  QToolButton* const SB_web;
  QLineEdit* const Ed_numero;
  QLineEdit* const Ed_rue;
  QLineEdit* const Ed_CP;
  QLineEdit* const Ed_ville;
  QListWidget* const LB_employes;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void fillEmployees(const MObject_OCS* company);

  // The texts of the mapping but the telephone, each with its attribute.
  const std::vector<TextField> fields_;
};

} // namespace tessel
