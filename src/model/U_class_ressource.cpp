#include "model/U_class_ressource.h"

#include "foundation/ProductIdentity.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mressource, MOBJ_AVEC_OBJ_REC)

std::string ByLanguage(std::string_view french, std::string_view english, std::string_view untranslated) {
  switch (LanguageIndex) {
  case 1: return std::string(english);
  case 2:
  case 3:
  case 4: return std::string(untranslated);
  default: return std::string(french);
  }
}

void Mressource::FillListItem(ListRowSink& row) const {
  row.setImageIndex(10);
  row.addSubItem("");
  row.addSubItem(DisplayText());
}

} // namespace tessel
