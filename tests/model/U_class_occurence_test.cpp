#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using Activities = ModelTest;

std::vector<MObject_OCS*> objects(const ObjectStrings& list) {
  std::vector<MObject_OCS*> result;
  for (const auto& [text, o] : list) result.push_back(o);
  return result;
}

Mcategorie* category(const char* name) {
  return static_cast<Mcategorie*>(TObjRec::CreateNamed(Mcategorie::Class(), name));
}

} // namespace

TEST_F(Activities, TheWorkedExampleIsStoredAsItsTriples) {
  Storage::OpenBase(path("exemple.TSF"), Tadministration_FRAME::instance().loadList());
  auto* root = category("Racine");
  auto* meeting = root->AddSubcategory("Réunion"_w);
  Mactivite_tessel* activity = ActivityOfCategory(meeting);
  auto* note = new Mcontenu;
  Moccurence* entry = Moccurence::CreateEntry(at(2002, 9, 5));
  activity->AddEntry(entry);
  entry->SetTimeSpent(at(2002, 9, 5), 2.5 / 24);
  entry->SetEntryContent(note);

  auto value = [](MObject_OCS* o, const char* relation) { return std::string(o->entite()->valeur_chemin(relation, 0)->name()); };
  EXPECT_EQ(value(meeting, "sys_ID_classe"), "sys_Mcategorie");
  EXPECT_EQ(value(meeting, "sys_nom_attribut_Nom"), "Réunion"_w);
  EXPECT_EQ(root->entite()->valeur_chemin("sys_nom_attribut_Fliste_OR_activite", 0), meeting->entite());
  EXPECT_EQ(value(activity, "sys_ID_classe"), "sys_Mactivite_tessel");
  EXPECT_EQ(activity->entite()->valeur_chemin("sys_nom_attribut_Fliste_themes", 0), meeting->entite());
  EXPECT_EQ(activity->entite()->valeur_chemin("sys_nom_attribut_action", 0), entry->entite());
  EXPECT_EQ(value(entry, "sys_ID_classe"), "sys_Moccurence");
  EXPECT_EQ(value(entry, "sys_nom_attribut_date_de_debut"), "05/09/2002");
  EXPECT_EQ(value(entry, "sys_nom_attribut_date_de_fin"), "05/09/2002 02:30:00");
  EXPECT_EQ(entry->entite()->valeur_chemin("sys_nom_attribut_contenu", 0), note->entite());

  // ... and read back through the model.
  Storage::SaveBase(path("exemple.TSF"));
  Storage::CloseBase();
  Storage::OpenBase(path("exemple.TSF"), Tadministration_FRAME::instance().loadList());
  ASSERT_EQ(Moccurence::Class().LoadedCount(), 1);
  auto* read = static_cast<Moccurence*>(Moccurence::Class().LoadedItem(0));
  auto* owner = dynamic_cast<Mactivite_tessel*>(read->EntryOwner());
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->DisplayText(), "Réunion"_w);
  EXPECT_EQ(read->StartDay(), at(2002, 9, 5));
  EXPECT_NEAR(read->TimeSpent(), 2.5 / 24, 1e-9);
  EXPECT_NE(dynamic_cast<Mcontenu*>(read->EntryContent()), nullptr);
  EXPECT_FALSE(read->IsValid());
}

TEST_F(Activities, EntriesOfAPeriodInTheOrderOfTheWalk) {
  Storage::OpenBase(path("a.TSF"), {});
  Moccurence* late = Moccurence::CreateEntry(at(2002, 9, 5, 23, 59));
  Moccurence* before = Moccurence::CreateEntry(at(2002, 9, 4));
  Moccurence* same = Moccurence::CreateEntry(at(2002, 9, 5));
  Moccurence* after = Moccurence::CreateEntry(at(2002, 9, 6, 0, 1));
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(at(2002, 9, 5, 12), at(2002, 9, 5, 12))), (ObjectList{same, late}));
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(at(2002, 9, 4), at(2002, 9, 6))),
            (ObjectList{after, same, before, late}));
  // The index follows the entries' changes.
  before->SetStartDate(at(2002, 9, 5, 8));
  after->Delete();
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(at(2002, 9, 5), at(2002, 9, 5))), (ObjectList{same, before, late}));
  // A start that was never a date reads as the present moment.
  late->entite()->affecter("sys_nom_attribut_date_de_debut", "31/02/2002");
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(at(2002, 9, 5), at(2002, 9, 5))).size(), 3u); // not re-read yet
  late->StartDate();
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(at(2002, 9, 5), at(2002, 9, 5))), (ObjectList{same, before}));
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(Today(), Today())), (ObjectList{late}));
  // Over a range wider than the days indexed.
  EXPECT_EQ(objects(Moccurence::EntriesOfPeriod(0, 100000)).size(), 3u);
}

TEST_F(Activities, CollectPeriodListsOwnersOnce) {
  Storage::OpenBase(path("a.TSF"), {});
  Mactivite_tessel* a = ActivityOfCategory(category("A"));
  Mactivite_tessel* b = ActivityOfCategory(category("B"));
  EXPECT_EQ(ActivityOfCategory(a->Category()), a); // made once
  Moccurence* a1 = Moccurence::CreateEntry(at(2002, 9, 2));
  a->AddEntry(a1);
  Moccurence* b1 = Moccurence::CreateEntry(at(2002, 9, 3));
  b->AddEntry(b1);
  Moccurence* a2 = Moccurence::CreateEntry(at(2002, 9, 4));
  a->AddEntry(a2);
  Moccurence* orphan = Moccurence::CreateEntry(at(2002, 9, 4));
  ObjectStrings activities, entries;
  Moccurence::CollectPeriod(activities, entries, at(2002, 9, 2), at(2002, 9, 8));
  EXPECT_EQ(objects(entries), (ObjectList{orphan, a2, b1, a1}));
  EXPECT_EQ(entries[1].first, "04/09/2002");
  EXPECT_EQ(objects(activities), (ObjectList{a, b}));
  EXPECT_EQ(orphan->EntryOwner(), nullptr);
  EXPECT_EQ(a2->EntryOwner(), a);
}

TEST_F(Activities, TimeSpentAndActivityProperties) {
  Storage::OpenBase(path("a.TSF"), {});
  Moccurence* entry = Moccurence::CreateEntry(at(2002, 9, 5));
  EXPECT_TRUE(entry->SetTimeSpent(at(2002, 9, 5), 2.5 / 24));
  EXPECT_FALSE(entry->SetTimeSpent(at(2002, 9, 5), 2.5 / 24));
  EXPECT_NEAR(entry->Duration(), 2.5 / 24, 1e-9);

  auto* activity = new Mactivite_tessel;
  EXPECT_EQ(activity->DisplayText(), "sans catégorie"_w);
  EXPECT_THROW(activity->ActivityName(), TesselError);
  Mcategorie* cat = category("Poubelle");
  cat->SetColour(0x00FF00);
  cat->SetDescription("a, b");
  activity->BindCategory(cat);
  EXPECT_EQ(activity->ActivityName(), "Poubelle");
  EXPECT_EQ(activity->ActivityColour(), 0x00FF00u);
  EXPECT_EQ(activity->ActivityDescription(), "a, b");
  EXPECT_EQ(Mactivite_tessel::Class().ClassDisplayName(), "Activité"_w);

  struct Row final : ListRowSink {
    std::vector<int> images;
    std::vector<std::string> texts;
    void setImageIndex(int i) override { images.push_back(i); }
    void addSubItem(const std::string& t) override { texts.push_back(t); }
  } row;
  activity->SetEvenement(true);
  activity->SetRealise(true);
  activity->SetSatisfaction(4);
  activity->FillListItem(row);
  EXPECT_EQ(row.images, (std::vector<int>{8, 11, 9}));
  EXPECT_EQ(row.texts, (std::vector<std::string>{"4", "Poubelle"}));
}

TEST_F(Activities, DefaultCategoriesAndRefusedDeletions) {
  Storage::OpenBase(path("a.TSF"), {});
  Mcategorie* root = category("Racine");
  root->CreateDefaultCategories();
  std::vector<std::string> names;
  for (TObjRec* c : root->Children()) names.push_back(c->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Pause", std::string("Réunion"_w), "Administration",
                                             std::string("Rédaction"_w), "Note de Service"}));
  auto* meeting = static_cast<Mcategorie*>(root->Child(1));
  ASSERT_EQ(meeting->ChildCount(), 2);
  EXPECT_EQ(meeting->Child(1)->Name(), "Réunion exceptionnelle"_w);
  EXPECT_EQ(meeting->Colour(), 0xFFFFFFu);
  EXPECT_FALSE(meeting->Invariant());

  std::string message;
  EXPECT_FALSE(root->RefuseDeletion(message));
  Moccurence* old = Moccurence::CreateEntry(at(2002, 9, 5));
  old->SetEntryCategory(meeting->Child(0));
  EXPECT_TRUE(static_cast<Mcategorie*>(meeting->Child(0))->RefuseDeletion(message));
  EXPECT_EQ(message, "Des durées d'activités sont associées à cette activité !\r\nImpossible de détruire cette activite"_w);
  EXPECT_TRUE(root->RefuseDeletion(message));
  EXPECT_EQ(message, "Des durées d'activités sont associées aux sous-activités de cette activité"_w);
  EXPECT_EQ(Mcategorie::Class().TaxonomyName(), "Catégorie activite"_w);
  EXPECT_EQ(Mcategorie::Class().TaxonomyColour(), 0x0000FFu);
  EXPECT_TRUE(Mcategorie::Class().HasColour());
}

// Time recorded in a category's activity (in any week) keeps the category,
// and the categories above it, from being deleted; an activity without time
// goes with its category.
TEST_F(Activities, DeletingACategoryNeverLeavesItsTimeBehind) {
  struct Case {
    const char* name;
    int timedChild;       // index under Réunion of the category given time, -1 for none
    bool childRefuses;    // Réunion hebdomadaire refuses
    bool meetingRefuses;  // Réunion refuses
  };
  const Case cases[] = {
      {"no time anywhere", -1, false, false},
      {"time in the category itself", 0, true, true},
      {"time in a sibling only", 1, false, true},
  };
  const std::string own(
      "Des durées d'activités sont associées à cette activité !\r\nImpossible de détruire cette activite"_w);
  const std::string below("Des durées d'activités sont associées aux sous-activités de cette activité"_w);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Storage::OpenBase(path(QString("c%1.TSF").arg(c.timedChild + 1)), Tadministration_FRAME::instance().loadList());
    Mcategorie* root = category("Racine");
    root->CreateDefaultCategories();
    auto* meeting = static_cast<Mcategorie*>(root->Child(1));
    auto* weekly = static_cast<Mcategorie*>(meeting->Child(0));
    // Every category of the meeting has an activity; one of them holds time
    // from a week long gone.
    ActivityOfCategory(weekly);
    ActivityOfCategory(static_cast<Mcategorie*>(meeting->Child(1)));
    ActivityOfCategory(meeting);
    if (c.timedChild >= 0) {
      Moccurence* entry = Moccurence::CreateEntry(at(1999, 1, 4));
      ActivityOfCategory(static_cast<Mcategorie*>(meeting->Child(c.timedChild)))->AddEntry(entry);
      entry->SetTimeSpent(at(1999, 1, 4), EncodeTime(3, 0, 0));
    }
    std::string message;
    EXPECT_EQ(weekly->RefuseDeletion(message), c.childRefuses);
    if (c.childRefuses) {
      EXPECT_EQ(message, own);
    }
    EXPECT_EQ(meeting->RefuseDeletion(message), c.meetingRefuses);
    if (c.meetingRefuses) {
      EXPECT_EQ(message, below);
    }

    if (!c.childRefuses) {
      // The category goes, and its activity (which holds no time) with it.
      const int activities = Mactivite_tessel::Class().LoadedCount();
      meeting->RemoveChild(weekly);
      weekly->Delete();
      EXPECT_EQ(Mactivite_tessel::Class().LoadedCount(), activities - 1);
      for (MObject_OCS* activity : Mactivite_tessel::Class().LoadedObjects())
        EXPECT_NE(static_cast<Mactivite_tessel*>(activity)->Category(), nullptr);
    }
    Storage::reset();
  }
}
