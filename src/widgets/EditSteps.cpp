#include "widgets/EditSteps.h"

#include "foundation/Cp1252.h"
#include "model/EditHistory.h"

namespace tessel {

void NameEditStep(const QString& caption) { EditHistory::instance().describe(caption); }

void NameViewStep(const QString& caption) { EditHistory::instance().describeView(caption); }

QString QuotedName(std::string_view name) { return QStringLiteral("« ") + fromCp1252(name) + QStringLiteral(" »"); }

} // namespace tessel
