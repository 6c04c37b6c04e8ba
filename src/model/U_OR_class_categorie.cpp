#include "model/U_OR_class_categorie.h"

#include "foundation/Cp1252.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"

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

bool Mcategorie::RefuseDeletion(std::string& message) const {
  bool found = false;
  const ObjectList entries = Moccurence::Class().LoadedObjects();
  for (auto it = entries.rbegin(); it != entries.rend() && !found; ++it)
    found = static_cast<Moccurence*>(*it)->EntryCategory() == this;
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

} // namespace tessel
