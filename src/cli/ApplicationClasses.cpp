#include "cli/ApplicationClasses.h"

#include "objects/U_OR_class.h"

namespace tessel::cli {

ClassList applicationClasses() {
  return {&TMOOR_document::Class(), &TMOOR_societe::Class(), &TMOOR_individu::Class()};
}

} // namespace tessel::cli
