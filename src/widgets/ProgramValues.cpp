#include "widgets/ProgramValues.h"

#include "foundation/ProductIdentity.h"

namespace tessel {

QColor WorkspaceColour = QColor::fromRgb(DefaultWorkspaceColour);

QString MakerName() { return QStringLiteral("Varnelle"); }
QString MakerSite() { return QStringLiteral("https://varnelle.example.org/"); }
QString MakerMail() { return QStringLiteral("contact@varnelle.example.org"); }

// The identity is plain ASCII apart from the date, which may carry accents.
QString ProductNameText() { return QString::fromUtf8(ProductName.data(), qsizetype(ProductName.size())); }
QString ProductVersionText() { return QString::fromUtf8(ProductVersion.data(), qsizetype(ProductVersion.size())); }
QString ProductDateText() { return QString::fromUtf8(ProductDate.data(), qsizetype(ProductDate.size())); }

} // namespace tessel
