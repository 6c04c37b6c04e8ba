#pragma once
// Activities: contents that keep the time entries of one category.

#include "model/U_class_contenu.h"

namespace tessel {

class Mcategorie;

class Mabstraite_activite : public Mcontenu_ressources_et_temps {
  TESSEL_CLASS(Mabstraite_activite)
public:
  explicit Mabstraite_activite(const ClassRef& cls = Class()) : Mcontenu_ressources_et_temps(cls) {}
  Mabstraite_activite(const ClassRef& cls, int index) : Mcontenu_ressources_et_temps(cls, index) {}

  // The first element of its node list, or null.
  Mcategorie* Category() const;
  void BindCategory(Mcategorie* category);
  // Those of the category, which must exist.
  std::string ActivityName() const;
  std::string ActivityDescription() const;
  std::uint32_t ActivityColour() const;
  QImage* ActivityPicture() const;

  void FillListItem(ListRowSink& row) const override;
};

// The category of an owner of time entries when it is an activity bound to
// one, else null: the screens then show the owner by its display text on white.
Mcategorie* CategoryOf(const MObject_OCS* owner);
std::uint32_t ShownColour(const MObject_OCS* owner);

} // namespace tessel
