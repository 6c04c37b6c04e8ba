#include "model/U_class_activite_tessel.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mactivite_tessel, Mabstraite_activite)
TESSEL_DEFINE_CLASS(Mactivite, MObject_OCS)

std::string Mactivite_tessel::DisplayText() const {
  const Mcategorie* category = Category();
  return category ? category->Name() : std::string("sans catégorie"_w);
}

std::string Mactivite_tessel::ClassDisplayName(const ClassRef&) { return std::string("Activité"_w); }

Mactivite_tessel* ActivityOfCategory(Mcategorie* category) {
  const ObjectList activities = Mactivite_tessel::Class().LoadedObjects();
  for (auto it = activities.rbegin(); it != activities.rend(); ++it) {
    auto* activity = static_cast<Mactivite_tessel*>(*it);
    if (activity->Category() == category) return activity;
  }
  auto* activity = new Mactivite_tessel;
  activity->BindCategory(category);
  return activity;
}

} // namespace tessel
