#pragma once
// Validated weeks: a week the user has closed. Validating sets the "valide"
// flag of every entry of the Monday-to-Sunday week (the flag that already
// makes a cell read-only); reopening clears it. A week is validated when all
// its entries are: a flag met alone (an old file, or an entry validated some
// other way) keeps locking its own cell only, as it always did. A week
// without entries holds nothing to lock and is never validated.
// WeekTimetable refuses new rows and changed times in a validated week.

#include "foundation/Errors.h"
#include "foundation/ZEP_Dates.h"

namespace tessel {

// "La semaine du lundi jj/mm/aaaa est validée : rouvrez-la pour la modifier."
class ValidatedWeekError : public TesselError {
public:
  explicit ValidatedWeekError(TDateTime anyDayOfWeek);
  TDateTime monday() const { return monday_; }

private:
  TDateTime monday_;
};

// Sets or clears the flag of every entry of the week of `anyDayOfWeek`;
// answers how many entries changed (0 for a week without entries).
int SetWeekValidated(TDateTime anyDayOfWeek, bool validated);
// Whether that week has entries and all of them are validated.
bool IsWeekValidated(TDateTime anyDayOfWeek);
// Raises ValidatedWeekError when the week of `day` is validated.
void CheckWeekOpen(TDateTime day);

} // namespace tessel
