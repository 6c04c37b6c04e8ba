#pragma once
// The persistent classes the command-line tool loads, as the program does.

#include "objects/ZEP_Objet_OCS.h"

namespace tessel::cli {

ClassList applicationClasses();

} // namespace tessel::cli
