#include "foundation/ZEP_Liste.h"

#include "foundation/Cp1252.h"
#include "foundation/UserPrompts.h"

namespace tessel {

void warnSortedInsertion() {
  prompts().message(MessageKind::Warning, std::string("Tentative d'insertion dans une liste triée"_w));
}

} // namespace tessel
