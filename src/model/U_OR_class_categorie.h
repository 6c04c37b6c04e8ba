#pragma once
// Activity categories: the taxonomy the user arranges, each category with its
// own colour.

#include "objects/U_OR_class.h"

namespace tessel {

class Mcategorie : public TObjRec {
  TESSEL_CLASS(Mcategorie)
public:
  explicit Mcategorie(const ClassRef& cls = Class()) : TObjRec(cls) {}
  Mcategorie(const ClassRef& cls, int index) : TObjRec(cls, index) {}

  Mcategorie* AddSubcategory(std::string_view name);
  // "Pause", "Réunion" (with its two kinds of meeting), "Administration",
  // "Rédaction" and "Note de Service" below this category.
  void CreateDefaultCategories();
  // Refused while time is recorded under the category or one below it.
  bool RefuseDeletion(std::string& message) const override;
  // Takes along its activities that hold no time.
  void Delete() override;

  static std::string LinkListName(const ClassRef&) { return "Fliste_OR_activite"; }
  static std::string TaxonomyName(const ClassRef&);
  static std::uint32_t TaxonomyColour(const ClassRef&) { return 0x0000FF; }
  static const ClassRef* ClassifiedClass(const ClassRef&);
  static bool HasColour(const ClassRef&) { return true; }
  static void BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root);
};

} // namespace tessel
