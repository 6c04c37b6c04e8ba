#include "model/U_OR_class_categorie.h"

#include "foundation/Cp1252.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"

#include <algorithm>

namespace tessel {

TESSEL_DEFINE_CLASS(Mcategorie, TObjRec)

std::string Mcategorie::TaxonomyName(const ClassRef&) { return std::string("Catégorie activite"_w); }

const ClassRef* Mcategorie::ClassifiedClass(const ClassRef&) { return &Mcontenu::Class(); }

Mcategorie* Mcategorie::AddSubcategory(std::string_view name) {
  auto* child = static_cast<Mcategorie*>(CreateNamed(Class(), name));
  AddChild(child);
  return child;
}

void Mcategorie::CreateDefaultCategories() {
  AddSubcategory("Pause");
  Mcategorie* meeting = AddSubcategory("Réunion"_w);
  meeting->AddSubcategory("Réunion hebdomadaire"_w);
  meeting->AddSubcategory("Réunion exceptionnelle"_w);
  AddSubcategory("Administration");
  AddSubcategory("Rédaction"_w);
  AddSubcategory("Note de Service");
}

void Mcategorie::BuildDefaultTree(const ClassRef& cls, TreeSink& tree, TreeItem* root) {
  for (std::string_view name : {std::string_view("Pause"), "Réunion"_w, std::string_view("Administration"), "Rédaction"_w})
    AddDefaultNode(cls, tree, root, false, 1, name);
}

namespace {

bool holdsEntries(Mactivite_tessel& activity) {
  const ObjectList entries = activity.actions().Items();
  return std::any_of(entries.begin(), entries.end(), [](const MObject_OCS* entry) { return entry != nullptr; });
}

// The activities bound to `category`.
std::vector<Mactivite_tessel*> activitiesOf(const Mcategorie* category) {
  std::vector<Mactivite_tessel*> found;
  for (MObject_OCS* object : Mactivite_tessel::Class().LoadedObjects()) {
    auto* activity = static_cast<Mactivite_tessel*>(object);
    if (activity->Category() == category) found.push_back(activity);
  }
  return found;
}

} // namespace

bool Mcategorie::RefuseDeletion(std::string& message) const {
  bool found = false;
  const ObjectList entries = Moccurence::Class().LoadedObjects();
  for (auto it = entries.rbegin(); it != entries.rend() && !found; ++it)
    found = static_cast<Moccurence*>(*it)->EntryCategory() == this;
  // Entries now live in the category's activity: deleting the category would
  // leave them counted under no category at all.
  for (Mactivite_tessel* activity : activitiesOf(this))
    found = found || holdsEntries(*activity);
  message = "Des durées d'activités sont associées à cette activité !\r\nImpossible de détruire cette activite"_w;
  if (found) return true;
  const std::vector<TObjRec*> children = Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (*it && (*it)->RefuseDeletion(message)) {
      message = "Des durées d'activités sont associées aux sous-activités de cette activité"_w;
      return true;
    }
  }
  return false;
}

void Mcategorie::Delete() {
  // Its activities go with it unless they hold time, which is never lost.
  for (Mactivite_tessel* activity : activitiesOf(this))
    if (!holdsEntries(*activity)) activity->Delete();
  TObjRec::Delete();
}

} // namespace tessel
