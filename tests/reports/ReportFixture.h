#pragma once
// A fresh document as the program opens it, and time entries made the way
// the timetable makes them.

#include "model/ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "reports/BandedReport.h"

#include <optional>

namespace tessel::test {

class ReportTest : public ModelTest {
protected:
  ReportTest() { openDocument("rapport.TSF"); }

  static Mcategorie* root() { return static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0)); }
  static Mcategorie* category(const std::string& name) {
    for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
      if (static_cast<Mcategorie*>(o)->Name() == name) return static_cast<Mcategorie*>(o);
    return root()->AddSubcategory(name);
  }
  // An entry of `hours`:`minutes` on `day` for the activity of the category
  // named `name`, with a comment holding `note` when one is given (both in
  // UTF-8; the note's lines end with CR LF as the editors store them).
  static Moccurence* enter(const std::string& name, TDateTime day, int hours, int minutes,
                           const std::optional<std::string>& note = std::nullopt) {
    Moccurence* entry = Moccurence::CreateEntry(day);
    entry->SetTimeSpent(day, EncodeTime(hours, minutes, 0));
    ActivityOfCategory(category(utf8ToCp1252(name)))->AddEntry(entry);
    if (note) {
      auto* content = new Mcontenu;
      content->SetTexte(EncodeText(utf8ToCp1252(*note)));
      entry->SetEntryContent(content);
    }
    return entry;
  }

  static std::vector<const PlacedBand*> bands(const BandedReport& report, PlacedBand::Role role, int page = 0) {
    std::vector<const PlacedBand*> out;
    for (const PlacedBand& b : report.pages().at(static_cast<std::size_t>(page)).bands)
      if (b.role == role) out.push_back(&b);
    return out;
  }
  static std::string text(const QString& s) { return s.toStdString(); }

  // Monday 2 September 2002.
  const TDateTime monday = at(2002, 9, 2);
};

} // namespace tessel::test
