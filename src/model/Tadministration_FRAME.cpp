#include "model/Tadministration_FRAME.h"

#include "foundation/F_erreur.h"
#include "model/DocumentManager.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "model/U_class_ressource_societe.h"
#include "model/U_class_user_tessel.h"

#include <algorithm>

namespace tessel {

Tadministration_FRAME& Tadministration_FRAME::instance() {
  static Tadministration_FRAME registry;
  return registry;
}

const TCLASSE_ET_FRAME* Tadministration_FRAME::find(const ClassRef& cls) const {
  for (const TCLASSE_ET_FRAME& e : entries_)
    if (SameText(e.cls->name(), cls.name())) return &e;
  return nullptr;
}

void Tadministration_FRAME::registerClass(const ClassRef& cls, std::string_view frameClass,
                                          std::optional<std::uint32_t> colour, int imageIndex) {
  if (find(cls)) return;
  entries_.push_back({std::string(frameClass), &cls, imageIndex, colour});
  loadList_.push_back(&cls);
}

void Tadministration_FRAME::addToLoadList(const ClassList& classes) {
  for (const ClassRef* cls : classes)
    if (std::find(loadList_.begin(), loadList_.end(), cls) == loadList_.end()) loadList_.push_back(cls);
}

std::string Tadministration_FRAME::frameClassOf(const ClassRef& cls) const {
  if (const TCLASSE_ET_FRAME* e = find(cls)) return e->frameClass;
  return entries_.empty() ? std::string() : entries_.front().frameClass;
}

int Tadministration_FRAME::imageIndexOf(const ClassRef& cls) const {
  const TCLASSE_ET_FRAME* e = find(cls);
  return e ? e->imageIndex : -1;
}

std::optional<std::uint32_t> Tadministration_FRAME::colourOf(const ClassRef& cls) const {
  const TCLASSE_ET_FRAME* e = find(cls);
  return e ? e->colour : std::nullopt;
}

void Tadministration_FRAME::clear() {
  entries_.clear();
  loadList_.clear();
}

void SetUpApplicationModel() {
  Tadministration_FRAME& registry = Tadministration_FRAME::instance();
  registry.registerClass(Mcontenu::Class(), "TFrame_contenu", std::nullopt, 7);
  registry.registerClass(Mutilisateur_tessel::Class(), "TFrame_personne", 0x399B5F, 1);   // RGB(95,155,57)
  registry.registerClass(TSociete::Class(), "TFrame_societe", 0x0000FF, 2);               // RGB(255,0,0)
  registry.registerClass(Mactivite_tessel::Class(), "TFrame_contenu", 0x800000, 15);       // RGB(0,0,128)
  registry.addToLoadList({&Mcategorie::Class(), &Moccurence::Class(), &TMOOR_individu::Class()});
  // Files of the first versions classed categories as activities.
  DocumentManager::instance().before = [] { Storage::Reclass(Mactivite::Class().name(), Mcategorie::Class().name()); };
}

} // namespace tessel
