#pragma once
// Documents, classified by document type.

#include "model/U_class_ressource.h"

namespace tessel {

class Tdocument : public Mressource {
  TESSEL_CLASS(Tdocument)
public:
  explicit Tdocument(const ClassRef& cls = Class()) : Mressource(cls) {}
  Tdocument(const ClassRef& cls, int index) : Mressource(cls, index) {}

  std::string NomDoc() const { return GetString("nom_doc"); }
  std::string DisplayText() const override { return NomDoc(); }
  void FillListItem(ListRowSink& row) const override;
  void AddListColumns(std::vector<std::pair<std::string, int>>& columns, int width) const override;

  static const ClassRef* TaxonomyClass(const ClassRef&);
  static std::string ClassDisplayName(const ClassRef&);
};

} // namespace tessel
