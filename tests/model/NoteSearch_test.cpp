#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/NoteSearch.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"

using namespace tessel;
using namespace tessel::test;

namespace {

class NoteSearchTest : public ModelTest {
protected:
  NoteSearchTest() { Storage::OpenBase(path("notes.TSF"), Tadministration_FRAME::instance().loadList()); }

  static Mcontenu* comment(std::string_view title, std::string_view text) {
    auto* content = new Mcontenu;
    content->SetTitre(title);
    content->SetTexte(EncodeText(text));
    return content;
  }

  static Mactivite_tessel* activity(std::string_view name) {
    return ActivityOfCategory(static_cast<Mcategorie*>(TObjRec::CreateNamed(Mcategorie::Class(), name)));
  }

  static Moccurence* entry(Mactivite_tessel* owner, TDateTime start, Mcontenu* content) {
    Moccurence* e = Moccurence::CreateEntry(start);
    if (owner) owner->AddEntry(e);
    e->SetEntryContent(content);
    return e;
  }

  static std::vector<std::string> strings(std::initializer_list<std::string_view> list) { return {list.begin(), list.end()}; }

  static std::vector<std::string> titles(const NoteSearch& search, QStringView words) {
    std::vector<std::string> found;
    for (int i : search.matching(words)) found.push_back(search.note(i).title);
    return found;
  }
};

} // namespace

TEST_F(NoteSearchTest, ListsEveryCommentByItsTitleInLoadOrder) {
  NoteSearch search;
  search.load();
  EXPECT_EQ(search.count(), 0);
  EXPECT_TRUE(search.matching(u"").empty());

  Mcontenu* budget = comment("Budget", "premier");
  Mcontenu* untitled = comment("", "Appel client\r\nrappeler lundi"_w);
  Mcontenu* empty = comment("", "");
  Mcontenu* leadingBreak = comment("", "\r\nsuite");
  Mcontenu* budgetAgain = comment("Budget", "second");
  activity("Pause"); // an activity is a content too, but no comment

  search.load();
  const std::vector<Mcontenu*> expected{budget, untitled, empty, leadingBreak, budgetAgain};
  ASSERT_EQ(search.count(), 5);
  for (int i = 0; i < search.count(); ++i) EXPECT_EQ(search.note(i).content(), expected[std::size_t(i)]) << i;
  EXPECT_EQ(titles(search, u""), (std::vector<std::string>{"Budget", "Appel client", "<Note Vide>", "", "Budget"}));
  EXPECT_EQ(search.indexOf(budgetAgain), 4);
  EXPECT_EQ(search.indexOf(nullptr), -1);

  // A comment made since is listed by the next load only; one deleted since
  // reads as gone at once.
  Mcontenu* later = comment("Plus tard", "");
  EXPECT_EQ(search.indexOf(later), -1);
  empty->Delete();
  EXPECT_EQ(search.note(2).content(), nullptr);
  EXPECT_EQ(search.note(2).title, "<Note Vide>");
  search.load();
  EXPECT_EQ(search.indexOf(later), 4);
  // Closing the document leaves nothing that points into it.
  Storage::SaveBase(path("notes.TSF"));
  Storage::CloseBase();
  for (int i = 0; i < search.count(); ++i) EXPECT_EQ(search.note(i).content(), nullptr) << i;
  search.clear();
  EXPECT_EQ(search.count(), 0);
  EXPECT_TRUE(search.matching(u"").empty());

  // Opened again, the order is the same.
  Storage::OpenBase(path("notes.TSF"), Tadministration_FRAME::instance().loadList());
  search.load();
  EXPECT_EQ(titles(search, u""),
            (std::vector<std::string>{"Budget", "Appel client", "", "Budget", "Plus tard"}));
  EXPECT_EQ(DecodeText(search.note(3).content()->Texte()), "second");
}

TEST_F(NoteSearchTest, FiltersByEveryWordOfTitleOrTextIgnoringCaseAndAccents) {
  comment("Réunion budget"_w, "Prévoir la salle.\r\nÉcrire à Zoé"_w);
  comment("Cœur de métier"_w, "");
  comment("", "Café avec l'équipe"_w);
  comment("STRASSE", "Straße"_w);
  NoteSearch search;
  search.load();
  struct Case {
    QString words;
    std::vector<std::string> titles;
  };
  const auto all = strings({"Réunion budget"_w, "Cœur de métier"_w, "Café avec l'équipe"_w, "STRASSE"});
  const Case cases[] = {
      {"", all},
      {" \t ", all},
      {"réunion", strings({"Réunion budget"_w})},
      {"REUNION", strings({"Réunion budget"_w})},
      {"reunion ecrire", strings({"Réunion budget"_w})},          // one word in the title, one in the text
      {"  zoe   SALLE ", strings({"Réunion budget"_w})},          // blanks around and between
      {"reunion cafe", {}},                              // every word must be found
      {"COEUR", strings({"Cœur de métier"_w})},                   // ligature spelt out
      {"cœur", strings({"Cœur de métier"_w})},
      {"Équipe", strings({"Café avec l'équipe"_w})},              // text only, no title
      {"straße", {"STRASSE"}},
      {"e", all},
      {"budgetprevoir", {}},                             // no word across title and text
      {"absent", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(titles(search, c.words), c.titles) << c.words.toStdString();
}

TEST_F(NoteSearchTest, UsesAreTheDaysAndActivitiesOfTheEntriesCarryingTheComment) {
  Mcontenu* shared = comment("Partagé"_w, "");
  Mcontenu* alone = comment("Seul", "");
  Mactivite_tessel* meeting = activity("Réunion"_w);
  Mactivite_tessel* pause = activity("Pause");
  entry(pause, at(2002, 9, 3), shared);
  entry(meeting, at(2002, 9, 3, 23, 59), shared); // late in the day, still that day
  entry(meeting, at(2002, 9, 2), shared);
  entry(nullptr, at(2002, 9, 4), shared);         // listed by nobody
  Moccurence* gone = entry(pause, at(2002, 9, 5), shared);
  entry(meeting, at(2002, 9, 2), nullptr);        // no comment
  gone->Delete();

  const std::string meetingName(meeting->DisplayText());
  const std::vector<NoteUse> expected{
      {at(2002, 9, 2), meetingName}, {at(2002, 9, 3), "Pause"}, {at(2002, 9, 3), meetingName}, {at(2002, 9, 4), ""}};
  EXPECT_EQ(UsesOf(*shared), expected);
  EXPECT_TRUE(UsesOf(*alone).empty());

  NoteSearch search;
  search.load();
  EXPECT_EQ(search.note(search.indexOf(shared)).uses, expected);

  // Two entries of one activity on one day name it once.
  entry(meeting, at(2002, 9, 2, 10), shared);
  EXPECT_EQ(UsesOf(*shared), expected);
}
