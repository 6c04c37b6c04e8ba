#include "model/U_class_abstraite_activite.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "model/U_OR_class_categorie.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mabstraite_activite, Mcontenu_ressources_et_temps)

namespace {

Mcategorie& categoryOf(const Mabstraite_activite& activity) {
  Mcategorie* category = activity.Category();
  if (!category) throw TesselError("Activité sans catégorie"_w);
  return *category;
}

} // namespace

Mcategorie* Mabstraite_activite::Category() const {
  MLISTE_Object_OCS& nodes = const_cast<Mabstraite_activite*>(this)->links();
  return nodes.Count() > 0 ? dynamic_cast<Mcategorie*>(nodes.Item(0)) : nullptr;
}

void Mabstraite_activite::BindCategory(Mcategorie* category) { links().Add(category); }

std::string Mabstraite_activite::ActivityName() const { return categoryOf(*this).Name(); }
std::string Mabstraite_activite::ActivityDescription() const { return categoryOf(*this).Description(); }
std::uint32_t Mabstraite_activite::ActivityColour() const { return categoryOf(*this).Colour(); }
QImage* Mabstraite_activite::ActivityPicture() const { return categoryOf(*this).Picture(); }

void Mabstraite_activite::FillListItem(ListRowSink& row) const {
  row.setImageIndex(Evenement() ? 8 : 0);
  if (Realise()) row.setImageIndex(11);
  MLISTE_Object_OCS& nodes = const_cast<Mabstraite_activite*>(this)->links();
  if (nodes.Count() > 0)
    if (auto* first = dynamic_cast<TObjRec*>(nodes.Item(0)); first && SameText(first->Name(), "poubelle"))
      row.setImageIndex(9);
  const int satisfaction = Satisfaction();
  row.addSubItem(satisfaction != -1 && satisfaction != 0 ? std::to_string(satisfaction) : "0");
  row.addSubItem(DisplayText());
}

} // namespace tessel
