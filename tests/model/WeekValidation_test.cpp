#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"
#include "model/WeekCsv.h"
#include "model/WeekTimetable.h"
#include "model/WeekValidation.h"

#include <functional>

using namespace tessel;
using namespace tessel::test;

namespace {

class Validation : public ModelTest {
protected:
  Validation() {
    openDocument("semaine.TSF");
    // Two rows in the week of Monday 2 September 2002, one time the week after.
    week.load(at(2002, 9, 2));
    week.addRow(CategoryNamed("Pause"));
    week.addRow(CategoryNamed("Administration"));
    week.commit(0, 0, "1:00");
    week.commit(0, 6, "2:00");
    week.commit(1, 3, "3:00");
    WeekTimetable next;
    next.load(at(2002, 9, 9));
    next.addRow(CategoryNamed("Pause"));
    next.commit(0, 0, "4:00");
  }
  static std::vector<bool> flags(TDateTime monday) {
    std::vector<bool> valid;
    for (const auto& [text, entry] : Moccurence::EntriesOfPeriod(monday, monday + 6))
      valid.push_back(static_cast<Moccurence*>(entry)->IsValid());
    return valid;
  }
  WeekTimetable week;
};

const char* const refusal = "La semaine du lundi 02/09/2002 est validée : rouvrez-la pour la modifier.";

} // namespace

TEST_F(Validation, ValidatingAndReopeningSetAndClearEveryEntryOfTheWeekOnly) {
  EXPECT_FALSE(IsWeekValidated(at(2002, 9, 4)));
  EXPECT_EQ(SetWeekValidated(at(2002, 9, 8), true), 3); // from the Sunday
  EXPECT_EQ(flags(at(2002, 9, 2)), std::vector<bool>({true, true, true}));
  EXPECT_EQ(flags(at(2002, 9, 9)), std::vector<bool>({false}));
  EXPECT_TRUE(IsWeekValidated(at(2002, 9, 2)));
  EXPECT_TRUE(week.validated());
  EXPECT_FALSE(IsWeekValidated(at(2002, 9, 9)));
  EXPECT_EQ(SetWeekValidated(at(2002, 9, 2), true), 0); // already
  EXPECT_THROW(CheckWeekOpen(at(2002, 9, 5)), ValidatedWeekError);
  EXPECT_NO_THROW(CheckWeekOpen(at(2002, 9, 9)));

  EXPECT_EQ(SetWeekValidated(at(2002, 9, 3), false), 3);
  EXPECT_EQ(flags(at(2002, 9, 2)), std::vector<bool>({false, false, false}));
  EXPECT_FALSE(IsWeekValidated(at(2002, 9, 2)));

  // A week without entries has nothing to hold the flag.
  EXPECT_EQ(SetWeekValidated(at(2002, 9, 16), true), 0);
  EXPECT_FALSE(IsWeekValidated(at(2002, 9, 16)));
}

// A flag met alone (an old file) locks its own cell only, as it always did.
TEST_F(Validation, OneValidatedEntryLeavesTheWeekOpenAndReopeningClearsIt) {
  week.entry(1, 3)->SetValid(true);
  EXPECT_FALSE(IsWeekValidated(at(2002, 9, 2)));
  EXPECT_TRUE(week.commit(0, 1, "1:00"));
  EXPECT_EQ(SetWeekValidated(at(2002, 9, 2), false), 1);
  EXPECT_FALSE(IsWeekValidated(at(2002, 9, 2)));
}

TEST_F(Validation, TheErrorNamesTheWeeksMonday) {
  const ValidatedWeekError e(at(2002, 9, 7));
  EXPECT_EQ(e.monday(), at(2002, 9, 2));
  EXPECT_EQ(std::string(e.what()), utf8ToCp1252(refusal));
}

TEST_F(Validation, AValidatedWeekRefusesEveryChangeAndKeepsItsTimes) {
  SetWeekValidated(at(2002, 9, 2), true);
  const int entries = Moccurence::Class().LoadedCount();
  struct Case {
    const char* what;
    std::function<void()> change;
  };
  const Case refused[] = {
      {"a new time", [&] { week.commit(0, 1, "1:00"); }},
      {"a changed time", [&] { week.commit(0, 0, "1:30"); }},
      {"a cleared time", [&] { week.commit(0, 0, "0:00"); }},
      {"another note", [&] { week.commit(0, 0, "1:00", new Mcontenu); }},
      {"a new row", [&] { week.addRow(CategoryNamed("Rédaction")); }},
      {"rows for all categories", [&] { week.addRowsForAllCategories(); }},
      {"a row with time taken away", [&] { week.removeRow(0); }},
  };
  const int activities = Mactivite_tessel::Class().LoadedCount();
  for (const Case& c : refused) {
    try {
      c.change();
      ADD_FAILURE() << c.what;
    } catch (const ValidatedWeekError& e) {
      EXPECT_EQ(std::string(e.what()), utf8ToCp1252(refusal)) << c.what;
    }
    EXPECT_EQ(Moccurence::Class().LoadedCount(), entries) << c.what;
    EXPECT_EQ(week.rowCount(), 2) << c.what;
    EXPECT_EQ(week.cellText(0, 0), "01:00") << c.what;
    EXPECT_EQ(Mactivite_tessel::Class().LoadedCount(), activities) << c.what;
  }
  // What is there already is no change.
  EXPECT_FALSE(week.commit(0, 0, "01:00"));
  EXPECT_FALSE(week.commit(0, 1, ""));
  EXPECT_FALSE(week.addRow(CategoryNamed("Pause")));

  SetWeekValidated(at(2002, 9, 2), false);
  EXPECT_TRUE(week.commit(0, 1, "1:00"));
  EXPECT_TRUE(week.addRow(CategoryNamed("Rédaction")));
}
