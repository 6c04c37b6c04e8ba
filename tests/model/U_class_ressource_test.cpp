#include "ModelFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ProductIdentity.h"
#include "model/U_class_ressource_document.h"
#include "model/U_class_ressource_societe.h"
#include "model/U_class_user_tessel.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using Resources = ModelTest;

struct Row final : ListRowSink {
  int image = -1;
  std::vector<std::string> texts;
  void setImageIndex(int i) override { image = i; }
  void addSubItem(const std::string& t) override { texts.push_back(t); }
};

} // namespace

TEST_F(Resources, PersonsBirthDatesNamesAndRows) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* person = new Mindividu;
  EXPECT_EQ(person->DateDeNaissance(), Today());
  EXPECT_EQ(person->Nom(), "");
  EXPECT_EQ(person->entite()->triplet_par_nom("sys_nom_attribut_nom", 0), nullptr);
  person->SetNom("Durand");
  EXPECT_EQ(person->DisplayText(), " Durand");

  Mindividu* made = Mindividu::CreatePerson(Mindividu::Class(), "Martin", "Anne", "01", "02", "prive@example.org",
                                            "anne@example.org");
  EXPECT_EQ(made->DateDeNaissance(), 0);
  EXPECT_EQ(made->entite()->valeur_chemin("sys_nom_attribut_date_de_naissance", 0)->name(), "sys_undefined");
  EXPECT_EQ(made->DisplayText(), "Anne Martin");
  EXPECT_EQ(made->MailPrive(), "prive@example.org");

  made->SetDateDeNaissance(at(1970, 5, 1));
  Row row;
  made->FillListItem(row);
  EXPECT_EQ(row.image, 10);
  EXPECT_EQ(row.texts, (std::vector<std::string>{"", "Martin", "Anne", "01/05/1970"}));

  // The person list's own two columns come first.
  std::vector<std::pair<std::string, int>> columns{{"", 20}, {"", 20}};
  made->AddListColumns(columns, 500);
  EXPECT_EQ(columns[2], (std::pair<std::string, int>{"Nom", 250}));
  EXPECT_EQ(columns[3], (std::pair<std::string, int>{std::string("Prénom"_w), 100}));
  EXPECT_EQ(columns[4], (std::pair<std::string, int>{"Date", 80}));

  auto* company = new TSociete;
  company->SetNom("ACME");
  made->SetEntreprise(company);
  EXPECT_EQ(made->Entreprise(), company);
  auto* user = new Mutilisateur_tessel;
  user->SetPassword("secret");
  EXPECT_EQ(user->entite()->valeur_chemin("sys_nom_attribut_pasword", 0)->name(), "secret");
}

TEST_F(Resources, ClassDisplayNamesFollowTheLanguage) {
  struct Case {
    int language;
    const ClassRef* cls;
    std::string name;
  };
  const Case cases[] = {
      {0, &TSociete::Class(), std::string("Société"_w)},
      {1, &TSociete::Class(), "Entreprise"},
      {3, &TSociete::Class(), std::string("Entreprise (à traduire)"_w)},
      {7, &TSociete::Class(), std::string("Société"_w)},
      {1, &Mindividu::Class(), "People"},
      {2, &Tdocument::Class(), std::string("Document (à traduire)"_w)},
      {0, &Mressource::Class(), "Mressource"},
  };
  for (const Case& c : cases) {
    LanguageIndex = c.language;
    EXPECT_EQ(c.cls->ClassDisplayName(), c.name) << c.language;
  }
  LanguageIndex = 0;
}

TEST_F(Resources, CompaniesInListsAndCombos) {
  Storage::OpenBase(path("a.TSF"), {});
  auto* a = new TSociete;
  a->SetNom("Alpha");
  auto* b = new TSociete;
  b->SetNom("Beta");
  Row row;
  b->FillListItem(row);
  EXPECT_EQ(row.image, -1);
  EXPECT_EQ(row.texts, (std::vector<std::string>{"", "Beta"}));
  std::vector<std::pair<std::string, int>> columns;
  b->AddListColumns(columns, 300);
  EXPECT_EQ(columns, (std::vector<std::pair<std::string, int>>{{std::string("Nom de la société"_w), 236}}));

  struct Combo final : ComboSink {
    std::vector<std::pair<std::string, MObject_OCS*>> items{{"ancien", nullptr}};
    int current = -1;
    void clear() override { items.clear(); }
    void addItem(const std::string& t, MObject_OCS* o) override { items.emplace_back(t, o); }
    int count() const override { return static_cast<int>(items.size()); }
    MObject_OCS* objectAt(int i) const override { return items.at(static_cast<std::size_t>(i)).second; }
    void setCurrentIndex(int i) override { current = i; }
  } combo;
  FillCompanyCombo(combo, {a, b}, b);
  EXPECT_EQ(combo.items, (std::vector<std::pair<std::string, MObject_OCS*>>{{"Alpha", a}, {"Beta", b}}));
  EXPECT_EQ(combo.current, 1);
}
