#include "model/U_OR_class_theme.h"

namespace tessel {

TESSEL_DEFINE_CLASS(Ttheme, TObjRec)

} // namespace tessel
