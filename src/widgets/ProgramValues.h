#pragma once
// Program-wide values of the desktop program, alive for the whole run.

#include "foundation/ProductIdentity.h"

#include <QColor>
#include <QString>

#include <cstdint>

namespace tessel {

// Background and gradient colour of the work screens. Only the colour command
// changes it, and it is not stored: every run starts with the default.
inline constexpr QRgb DefaultWorkspaceColour = 0xFF9A94CF; // RGB(154,148,207)
extern QColor WorkspaceColour;

// The maker of the program (fictitious), shown by the introduction window and
// used by the product page command.
QString MakerName();
QString MakerSite();      // ends with "/"
QString MakerMail();

// The product identity as user-interface texts.
QString ProductNameText();
QString ProductVersionText();
QString ProductDateText();

} // namespace tessel
