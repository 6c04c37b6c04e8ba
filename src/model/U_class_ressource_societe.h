#pragma once
// Companies, classified by company type.

#include "model/U_class_ressource.h"

namespace tessel {

class TSociete : public Mressource {
  TESSEL_CLASS(TSociete)
public:
  explicit TSociete(const ClassRef& cls = Class()) : Mressource(cls) {}
  TSociete(const ClassRef& cls, int index) : Mressource(cls, index) {}

  TESSEL_STRING_ATTRIBUTE(Nom, SetNom, "Nom")
  TESSEL_STRING_ATTRIBUTE(Telephone, SetTelephone, "Telephone")
  TESSEL_STRING_ATTRIBUTE(Fax, SetFax, "Fax")
  TESSEL_STRING_ATTRIBUTE(Web, SetWeb, "Web")
  TESSEL_STRING_ATTRIBUTE(Numero, SetNumero, "numero_societe")
  TESSEL_STRING_ATTRIBUTE(Rue, SetRue, "rue_societe")
  TESSEL_STRING_ATTRIBUTE(CodePostal, SetCodePostal, "code_postal_societe")
  TESSEL_STRING_ATTRIBUTE(Ville, SetVille, "ville_societe")

  std::string DisplayText() const override { return Nom(); }
  void FillListItem(ListRowSink& row) const override;
  void AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const override;

  static const ClassRef* TaxonomyClass(const ClassRef&);
  static std::string ClassDisplayName(const ClassRef&);
};

// The companies' names in a combo box, each item carrying its company; the
// given company selected when there is one.
void FillCompanyCombo(ComboSink& combo, const ObjectList& companies, const MObject_OCS* selected);

} // namespace tessel
