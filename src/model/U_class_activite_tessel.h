#pragma once
// The activity of one category, which owns the category's time entries; and
// the old class name of categories, kept only to relabel old files.

#include "model/U_class_abstraite_activite.h"

namespace tessel {

class Mactivite_tessel : public Mabstraite_activite {
  TESSEL_CLASS(Mactivite_tessel)
public:
  explicit Mactivite_tessel(const ClassRef& cls = Class()) : Mabstraite_activite(cls) {}
  Mactivite_tessel(const ClassRef& cls, int index) : Mabstraite_activite(cls, index) {}

  // The category's name, or "sans catégorie".
  std::string DisplayText() const override;
  static std::string ClassDisplayName(const ClassRef&);
};

// The activity of that category (the last loaded one), made when there is none.
Mactivite_tessel* ActivityOfCategory(Mcategorie* category);

class Mactivite : public MObject_OCS {
  TESSEL_CLASS(Mactivite)
public:
  explicit Mactivite(const ClassRef& cls = Class()) : MObject_OCS(cls) {}
  Mactivite(const ClassRef& cls, int index) : MObject_OCS(cls, index) {}
};

} // namespace tessel
