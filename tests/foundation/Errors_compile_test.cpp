// Built by the test list, never linked: each case is one way of writing an
// error message, and the build must accept or refuse it as its name says.

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"

#include <string>

namespace tessel {

void message(const std::string& name) {
#if CASE == 0 // accepted: ASCII literals, converted literals, engine texts added to a Message
  throw DataFileError(Message("Le fichier ") + name + " est coupé à la ligne "_w + std::to_string(3));
#elif CASE == 1 // refused: an accent that was not converted
  throw TesselError("Requête mal formée");
#elif CASE == 2 // refused: the same, hidden in a concatenation that makes a bare string
  throw TesselError("nom coupé à " + name);
#elif CASE == 3 // refused: the same, added to a Message
  throw TesselError(Message("Le fichier ") + name + " est coupé");
#elif CASE == 4 // refused: a bare engine text, whose pieces nobody checked
  throw DataFileError(name);
#endif
}

} // namespace tessel
