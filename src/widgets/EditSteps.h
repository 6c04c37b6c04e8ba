#pragma once
// Naming the steps of the edit history from the screens that made them:
// "la saisie de 2:30 (Réunion, mardi 8)" shows as "Annuler la saisie de 2:30
// (Réunion, mardi 8)" in the "Édition" menu.

#include <QString>

#include <string_view>

namespace tessel {

// The changes the current command made since its last named step are one
// step with this name (nothing when it changed nothing).
void NameEditStep(const QString& caption);
// The same for a command that may change only what the screen shows: a step
// even then.
void NameViewStep(const QString& caption);

// "« Réunion »", from an engine text.
QString QuotedName(std::string_view name);

} // namespace tessel
