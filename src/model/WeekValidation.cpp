#include "model/WeekValidation.h"

#include "foundation/Cp1252.h"
#include "model/U_class_occurence.h"

#include <algorithm>

namespace tessel {

ValidatedWeekError::ValidatedWeekError(TDateTime anyDayOfWeek)
    : TesselError(Message("La semaine du lundi ") + DateTextOf(false, MondayOf(anyDayOfWeek)) +
                  " est validée : rouvrez-la pour la modifier."_w),
      monday_(MondayOf(anyDayOfWeek)) {}

int SetWeekValidated(TDateTime anyDayOfWeek, bool validated) {
  const TDateTime monday = MondayOf(anyDayOfWeek);
  int changed = 0;
  for (const auto& [text, object] : Moccurence::EntriesOfPeriod(monday, monday + 6)) {
    auto* entry = static_cast<Moccurence*>(object);
    if (entry->IsValid() == validated) continue;
    entry->SetValid(validated);
    ++changed;
  }
  return changed;
}

bool IsWeekValidated(TDateTime anyDayOfWeek) {
  const TDateTime monday = MondayOf(anyDayOfWeek);
  const ObjectStrings entries = Moccurence::EntriesOfPeriod(monday, monday + 6);
  return !entries.empty() && std::all_of(entries.begin(), entries.end(), [](const auto& e) {
    return static_cast<const Moccurence*>(e.second)->IsValid();
  });
}

void CheckWeekOpen(TDateTime day) {
  if (IsWeekValidated(day)) throw ValidatedWeekError(day);
}

} // namespace tessel
