#include "model/U_class_ressource_societe.h"

#include "foundation/Cp1252.h"

namespace tessel {

TESSEL_DEFINE_CLASS(TSociete, Mressource)

void TSociete::FillListItem(ListRowSink& row) const {
  row.addSubItem("");
  row.addSubItem(Nom());
}

void TSociete::AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const {
  columns.emplace_back(std::string("Nom de la société"_w), width - 64);
}

const ClassRef* TSociete::TaxonomyClass(const ClassRef&) { return &TMOOR_societe::Class(); }

std::string TSociete::ClassDisplayName(const ClassRef&) {
  return ByLanguage("Société"_w, "Entreprise", "Entreprise (à traduire)"_w);
}

void FillCompanyCombo(ComboSink& combo, const ObjectList& companies, const MObject_OCS* selected) {
  StringsWithObjects items;
  MOBJ_AVEC_OBJ_REC::FillStrings(items, companies, [](const MObject_OCS* o) {
    const auto* company = dynamic_cast<const TSociete*>(o);
    return company ? company->Nom() : std::string();
  });
  combo.clear();
  for (const auto& [text, object] : items) combo.addItem(text, object);
  MOBJ_AVEC_OBJ_REC::SelectInCombo(combo, selected);
}

} // namespace tessel
