#pragma once
// Resources: the people, companies and documents notes refer to, each
// classified in a taxonomy of its own.

#include "objects/U_class_OBJ_avec_OBJ_REC.h"

// A string attribute's read and write operations, in a resource class.
#define TESSEL_STRING_ATTRIBUTE(Getter, Setter, name)                                                                \
  std::string Getter() const { return GetString(name); }                                                              \
  void Setter(std::string_view text) { SetString(name, text); }

namespace tessel {

// The class's display name in the program's caption language: 0 and 1 are
// French and English, 2 to 4 languages not translated yet.
std::string ByLanguage(std::string_view french, std::string_view english, std::string_view untranslated);

class Mressource : public MOBJ_AVEC_OBJ_REC {
  TESSEL_CLASS(Mressource)
public:
  explicit Mressource(const ClassRef& cls = Class()) : MOBJ_AVEC_OBJ_REC(cls) {}
  Mressource(const ClassRef& cls, int index) : MOBJ_AVEC_OBJ_REC(cls, index) {}

  std::string Commentaire() const { return GetString("Commentaire"); }
  void SetCommentaire(std::string_view text) { SetString("Commentaire", text); }

  void FillListItem(ListRowSink& row) const override;
  static std::string ClassDisplayName(const ClassRef& cls) { return cls.name(); }
  static const ClassRef* TaxonomyClass(const ClassRef&) { return nullptr; }
};

} // namespace tessel
