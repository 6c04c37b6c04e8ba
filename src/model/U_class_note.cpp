#include "model/U_class_note.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mnote, Mcontenu_ressources_et_temps)

Mnote::Mnote(const ClassRef& cls)
    : Mcontenu_ressources_et_temps(cls), participants_(std::make_unique<MLISTE_Object_OCS>(*this, "Fliste_participants")),
      files_(std::make_unique<MLISTE_Object_OCS>(*this, "Fliste_fichiers")) {}

Mnote::Mnote(const ClassRef& cls, int index)
    : Mcontenu_ressources_et_temps(cls, index),
      participants_(std::make_unique<MLISTE_Object_OCS>(*this, "Fliste_participants")),
      files_(std::make_unique<MLISTE_Object_OCS>(*this, "Fliste_fichiers")) {}

Mnote::~Mnote() = default;

} // namespace tessel
