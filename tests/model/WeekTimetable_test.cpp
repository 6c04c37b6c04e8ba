#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_note.h"
#include "model/U_class_occurence.h"
#include "model/WeekTimetable.h"

using namespace tessel;
using namespace tessel::test;

namespace {

class Timetable : public ModelTest {
protected:
  Timetable() { openDocument("semaine.TSF"); }
  Mcategorie* categoryNamed(const std::string& name) {
    for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
      if (static_cast<Mcategorie*>(o)->Name() == name) return static_cast<Mcategorie*>(o);
    return nullptr;
  }
  WeekTimetable week;
};

} // namespace

TEST_F(Timetable, AnEmptyWeek) {
  week.load(at(2002, 9, 5));
  EXPECT_EQ(week.rowCount(), 0);
  EXPECT_EQ(week.monday(), at(2002, 9, 2));
  EXPECT_EQ(week.title(), "Du lundi 02/09/2002 au dimanche 08/09/2002");
  EXPECT_EQ(DurationText(week.weekTotal()), "0:00");
}

TEST_F(Timetable, TypingTimesCreatesUpdatesAndDeletesEntries) {
  week.load(at(2002, 9, 5));
  ASSERT_TRUE(week.addRow(categoryNamed("Pause")));
  EXPECT_FALSE(week.addRow(categoryNamed("Pause")));
  ASSERT_TRUE(week.addRow(categoryNamed(std::string("Réunion"_w))));

  EXPECT_TRUE(week.commit(0, 3, " 7:30"));
  EXPECT_EQ(week.cellText(0, 3), "07:30");
  EXPECT_EQ(DurationText(week.rowTotal(0)), "7:30");
  EXPECT_EQ(DurationText(week.dayTotal(3)), "7:30");
  EXPECT_FALSE(week.commit(0, 3, "07:30")); // the same time changes nothing
  EXPECT_TRUE(week.commit(1, 3, "17:45"));
  EXPECT_EQ(DurationText(week.dayTotal(3)), "25:15");
  EXPECT_EQ(Moccurence::Class().LoadedCount(), 2);

  EXPECT_TRUE(week.commit(0, 3, "00:00"));
  EXPECT_EQ(week.cellText(0, 3), "");
  EXPECT_EQ(week.entry(0, 3), nullptr);
  EXPECT_EQ(Moccurence::Class().LoadedCount(), 1);
  EXPECT_FALSE(week.commit(0, 3, "  :  "));

  // A note shown while a time is typed goes to the entry; giving it the same
  // note again is no change.
  auto* note = new Mcontenu;
  EXPECT_TRUE(week.commit(1, 3, "17:45", note));
  EXPECT_EQ(week.entry(1, 3)->EntryContent(), note);
  EXPECT_FALSE(week.commit(1, 3, "17:45", note));
  auto* other = new Mcontenu;
  EXPECT_TRUE(week.commit(1, 3, "17:45", other));
  EXPECT_EQ(week.entry(1, 3)->EntryContent(), other);
  // No note given keeps the one the entry has.
  EXPECT_FALSE(week.commit(1, 3, "17:45"));
  EXPECT_EQ(week.entry(1, 3)->EntryContent(), other);
}

TEST_F(Timetable, RowsForEveryCategoryButTheRoot) {
  week.load(at(2002, 9, 5));
  ASSERT_TRUE(week.addRow(categoryNamed("Pause")));
  const int categories = Mcategorie::Class().LoadedCount();
  ASSERT_GT(categories, 2);
  // Pause has its row already; the root gets none.
  EXPECT_EQ(week.addRowsForAllCategories(), categories - 2);
  ASSERT_EQ(week.rowCount(), categories - 1);
  // Walked from the last loaded category down to the second (Pause, already shown).
  ASSERT_EQ(static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(1))->Name(), "Pause");
  EXPECT_EQ(week.activity(1)->DisplayText(),
            static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(categories - 1))->Name());
  EXPECT_EQ(week.activity(categories - 2)->DisplayText(),
            static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(2))->Name());
  EXPECT_EQ(week.rowsOfCategory(Mcategorie::Class().LoadedItem(0)), std::vector<int>{});
  EXPECT_EQ(week.rowsOfCategory(categoryNamed("Pause")), std::vector<int>{0});
  EXPECT_EQ(week.addRowsForAllCategories(), 0);
}

TEST_F(Timetable, RefusedTimesLeaveNothingBehind) {
  week.load(at(2002, 9, 5));
  week.addRow(categoryNamed("Pause"));
  for (const char* text : {"24:00", "12:75", "ab:cd"}) {
    try {
      week.commit(0, 2, text);
      ADD_FAILURE() << text;
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + ":00' n'est pas une heure correcte");
    }
    EXPECT_EQ(week.entry(0, 2), nullptr);
  }
  EXPECT_EQ(Moccurence::Class().LoadedCount(), 0);
}

TEST_F(Timetable, HoursPerDayRowsTakeFreeText) {
  Mcategorie* root = static_cast<Mcategorie*>(Mcategorie::Class().LoadedItem(0));
  Mcategorie* hours = root->AddSubcategory("Nombre d'heures/jour");
  week.load(at(2002, 9, 5));
  week.addRow(hours);
  EXPECT_TRUE(WeekTimetable::isFreeTextRow(week.activity(0)));
  EXPECT_TRUE(week.commit(0, 0, "8"));
  EXPECT_EQ(week.cellText(0, 0), "08:00");
  EXPECT_THROW(week.commit(0, 1, "huit"), ConvertError);
}

TEST_F(Timetable, RemovingARowDeletesOnlyThisWeeksEntries) {
  week.load(at(2002, 9, 5));
  week.addRow(categoryNamed("Pause"));
  week.commit(0, 0, "1:00");
  week.commit(0, 1, "2:00");
  week.load(at(2002, 9, 12));
  week.addRow(categoryNamed("Pause"));
  week.commit(0, 0, "3:00");
  week.load(at(2002, 9, 5));
  ASSERT_EQ(week.rowCount(), 1);
  EXPECT_TRUE(week.removeRow(0));
  EXPECT_EQ(week.rowCount(), 0);
  week.addRow(categoryNamed("Pause"));
  EXPECT_FALSE(week.removeRow(0)); // a row without entries this week
  week.load(at(2002, 9, 12));
  ASSERT_EQ(week.rowCount(), 1);
  EXPECT_EQ(DurationText(week.weekTotal()), "3:00");
}

TEST_F(Timetable, RowsOfADeletedCategoryGoUnlessTheyHoldTime) {
  week.load(at(2002, 9, 5));
  week.addRow(categoryNamed("Pause"));
  week.addRow(categoryNamed("Administration"));
  week.addRow(categoryNamed("Pause")); // already there
  week.commit(1, 2, "4:00");
  ASSERT_EQ(week.rowCount(), 2);
  EXPECT_EQ(week.dropRowsOfCategory(categoryNamed("Administration")), 0); // it holds time
  EXPECT_EQ(week.dropRowsOfCategory(nullptr), 0);
  EXPECT_EQ(week.dropRowsOfCategory(categoryNamed("Pause")), 1);
  ASSERT_EQ(week.rowCount(), 1);
  EXPECT_EQ(week.category(0), categoryNamed("Administration"));
  EXPECT_EQ(week.cellText(0, 2), "04:00");
  EXPECT_EQ(DurationText(week.weekTotal()), "4:00");
}

TEST_F(Timetable, RowsShowTheirActivitysCategory) {
  // A note owns the entry it made for itself: its row has no category.
  auto* note = new Mnote;
  Moccurence* own = Moccurence::CreateEntry(at(2002, 9, 3));
  own->SetTimeSpent(at(2002, 9, 3), 1.0 / 24);
  note->AddEntry(own);
  week.load(at(2002, 9, 5));
  week.addRow(categoryNamed("Pause"));
  ASSERT_EQ(week.rowCount(), 2);
  EXPECT_EQ(week.activity(0), note);
  EXPECT_EQ(week.category(0), nullptr);
  EXPECT_EQ(week.category(1), categoryNamed("Pause"));
  EXPECT_FALSE(WeekTimetable::isFreeTextRow(week.activity(0)));
  EXPECT_EQ(week.rowsOfCategory(nullptr), std::vector<int>{});
  EXPECT_EQ(week.cellText(0, 1), "01:00");
}

TEST_F(Timetable, AWeekSurvivesSavingAndReopening) {
  week.load(at(2002, 9, 5));
  week.addRow(categoryNamed(std::string("Réunion"_w)));
  week.addRow(categoryNamed("Pause"));
  week.commit(0, 0, "2:30");
  week.commit(1, 4, "1:15");
  DocumentManager::instance().SaveAs(path("semaine.TSF"));
  Storage::CloseBase();
  openDocument("semaine.TSF");
  ASSERT_FALSE(DocumentManager::instance().IsGeneratedDocument());
  WeekTimetable again;
  again.load(at(2002, 9, 2));
  ASSERT_EQ(again.rowCount(), 2);
  // Rows come in the order their entries are met, the last loaded first.
  EXPECT_EQ(again.activity(0)->DisplayText(), "Pause");
  EXPECT_EQ(again.cellText(0, 4), "01:15");
  EXPECT_EQ(again.cellText(1, 0), "02:30");
  EXPECT_EQ(DurationText(again.weekTotal()), "3:45");
}

TEST_F(Timetable, RowsOfThePreviousWeekWithoutTheirTimes) {
  // The week before: Administration then Pause with time, Rédaction cleared again.
  week.load(at(2002, 8, 26));
  week.addRow(categoryNamed("Administration"));
  week.addRow(categoryNamed("Pause"));
  week.addRow(categoryNamed(std::string("Rédaction"_w)));
  week.commit(0, 1, "2:00");
  week.commit(1, 4, "0:30");
  week.commit(2, 2, "1:00");
  week.commit(2, 2, "0:00");
  const int entries = Moccurence::Class().LoadedCount();

  week.load(at(2002, 9, 4));
  week.addRow(categoryNamed("Pause")); // shown already: not twice
  EXPECT_EQ(week.addRowsOfPreviousWeek(), 1);
  ASSERT_EQ(week.rowCount(), 2);
  EXPECT_EQ(week.category(0), categoryNamed("Pause"));
  EXPECT_EQ(week.category(1), categoryNamed("Administration"));
  for (int d = 0; d < WeekTimetable::days; ++d) EXPECT_EQ(week.cellText(1, d), "") << d;
  EXPECT_EQ(Moccurence::Class().LoadedCount(), entries);
  EXPECT_EQ(week.addRowsOfPreviousWeek(), 0);

  // Rows of the previous week's order, the last recorded first.
  week.load(at(2002, 9, 2));
  EXPECT_EQ(week.addRowsOfPreviousWeek(), 2);
  ASSERT_EQ(week.rowCount(), 2);
  EXPECT_EQ(week.category(0), categoryNamed("Pause"));
  EXPECT_EQ(week.category(1), categoryNamed("Administration"));

  // Nothing before: nothing added. Empty rows are screen-only: gone on reload.
  week.load(at(2002, 8, 19));
  EXPECT_EQ(week.addRowsOfPreviousWeek(), 0);
  EXPECT_EQ(week.rowCount(), 0);
  week.load(at(2002, 9, 2));
  EXPECT_EQ(week.rowCount(), 0);
}
