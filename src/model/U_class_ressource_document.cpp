#include "model/U_class_ressource_document.h"

#include "foundation/Cp1252.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Tdocument, Mressource)

void Tdocument::FillListItem(ListRowSink& row) const {
  row.addSubItem("");
  row.addSubItem(NomDoc());
}

void Tdocument::AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const {
  columns.emplace_back("Nom du document", width - 64);
}

const ClassRef* Tdocument::TaxonomyClass(const ClassRef&) { return &TMOOR_document::Class(); }

std::string Tdocument::ClassDisplayName(const ClassRef&) {
  return ByLanguage("Document", "Document", "Document (à traduire)"_w);
}

} // namespace tessel
