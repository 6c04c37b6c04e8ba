#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_note.h"
#include "model/U_class_occurence.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using Contents = ModelTest;

} // namespace

TEST_F(Contents, TitleRule) {
  Storage::OpenBase(path("a.TSF"), {});
  struct Case {
    std::string title, text, expected;
  };
  const Case cases[] = {
      {"", "", "<Note Vide>"},
      {"", "première ligne\r\nseconde", "première ligne"},
      {"   ", "ligne\nautre", "ligne"},      // a blank title is not stored
      {"", "\r\nseconde ligne", ""},         // a text beginning with a line break
      {"Titre", "texte", "Titre"},
      {"", "seule\rligne", "seule"},
  };
  for (const Case& c : cases) {
    auto* content = new Mcontenu;
    content->SetTitre(c.title);
    content->SetTexte(EncodeText(c.text));
    EXPECT_EQ(content->Title(), c.expected) << c.title << '|' << c.text;
    EXPECT_EQ(content->DisplayText(), c.expected);
  }
}

TEST_F(Contents, NewContentsAndTheirSchema) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* content = new Mcontenu;
  EXPECT_EQ(content->entite()->valeur_chemin("sys_nom_attribut_Importance", 0)->name(), "0");
  EXPECT_EQ(content->entite()->triplet_par_nom("sys_nom_attribut_Texte", 0), nullptr);
  EXPECT_EQ(content->Satisfaction(), -1);
  content->SetSatisfaction(0);
  EXPECT_EQ(content->Satisfaction(), 0);
  EXPECT_FALSE(content->Realise());
  EXPECT_EQ(Mcontenu::Class().ClassDisplayName(), "Post-it");
  EXPECT_EQ(Mnote::Class().ClassDisplayName(), "Note");
  EXPECT_EQ(Mcontenu::Class().TaxonomyClass()->LinkListName(), "Fliste_themes");

  std::vector<std::string> rows;
  Mnote::Class().DeclareAttributes(rows);
  ASSERT_EQ(rows.size(), 45u);
  EXPECT_EQ((std::vector<std::string>(rows.begin(), rows.begin() + 5)),
            (std::vector<std::string>{"attribut", "titre", "0,1", "string", ""}));
  EXPECT_EQ(rows[40 + 1], "commentaire");
  EXPECT_EQ(Mcontenu::Class().CheckSchema(), 0);
}

TEST_F(Contents, DeletingAnActivityDeletesItsEntriesFirst) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* activity = new Mactivite_tessel;
  for (int d = 0; d < 3; ++d) activity->AddEntry(Moccurence::CreateEntry(at(2002, 9, 2 + d)));
  auto* other = Moccurence::CreateEntry(at(2002, 9, 9));
  ASSERT_EQ(Moccurence::Class().LoadedCount(), 4);
  activity->Delete();
  EXPECT_EQ(Moccurence::Class().LoadedObjects(), (ObjectList{other}));
  EXPECT_EQ(Mactivite_tessel::Class().LoadedCount(), 0);
}
