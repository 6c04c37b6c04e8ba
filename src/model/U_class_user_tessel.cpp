#include "model/U_class_user_tessel.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Mutilisateur, Mindividu)
TESSEL_DEFINE_CLASS(Mutilisateur_tessel, Mutilisateur)

} // namespace tessel
