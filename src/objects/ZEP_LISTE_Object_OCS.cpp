#include "objects/ZEP_LISTE_Object_OCS.h"

#include <cmath>

namespace tessel {

TESSEL_DEFINE_CLASS(Minfo_avec_temps, MObject_OCS)

TDateTime ReplaceTimePart(TDateTime value, TDateTime time) {
  const double day = std::trunc(value);
  const double part = std::fabs(time - std::trunc(time));
  return day >= 0 ? day + part : day - part;
}

TDateTime ReplaceDatePart(TDateTime value, TDateTime day) { return ReplaceTimePart(day, value); }

TDateTime Minfo_avec_temps::StartDay() const { return std::trunc(StartDate()); }
TDateTime Minfo_avec_temps::EndDay() const { return std::trunc(EndDate()); }
void Minfo_avec_temps::SetStartDay(TDateTime day) { SetStartDate(ReplaceDatePart(StartDate(), day)); }
void Minfo_avec_temps::SetEndDay(TDateTime day) { SetEndDate(ReplaceDatePart(EndDate(), day)); }

TDateTime Minfo_avec_temps::EndTimeOfDay() const {
  const TDateTime end = EndDate();
  return std::fabs(end - std::trunc(end));
}

void Minfo_avec_temps::SetEndTimeOfDay(TDateTime time) { SetEndDate(ReplaceTimePart(EndDate(), time)); }

} // namespace tessel
