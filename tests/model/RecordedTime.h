#pragma once
// A workspace with the default categories, and time recorded in it as the
// timetable records it.

#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"

namespace tessel::test {

class RecordedTime : public ModelTest {
protected:
  RecordedTime() { openDocument("temps.TSF"); }

  static Mcategorie* categoryNamed(std::string_view name) {
    for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
      if (static_cast<Mcategorie*>(o)->Name() == name) return static_cast<Mcategorie*>(o);
    return nullptr;
  }
  // An entry of `hours`:`minutes` for the category's activity on the day.
  static Moccurence* record(std::string_view category, TDateTime day, int hours, int minutes) {
    Moccurence* entry = Moccurence::CreateEntry(day);
    ActivityOfCategory(categoryNamed(category))->AddEntry(entry);
    entry->SetTimeSpent(day, EncodeTime(hours, minutes, 0));
    return entry;
  }
};

} // namespace tessel::test
