#include "ObjectFixture.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Version.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <memory>

using namespace tessel;
using namespace tessel::test;

namespace {

using Objects = ObjectTest;

TDateTime at(int y, int m, int d, int h = 0, int mi = 0) { return EncodeDate(y, m, d) + EncodeTime(h, mi, 0); }

} // namespace

TEST_F(Objects, OpeningAMissingFileCreatesAnEmptyOne) {
  ASSERT_FALSE(QFile::exists(path("neuf.TSF")));
  open("neuf.TSF", {&Chose::Class()});
  EXPECT_TRUE(QFile::exists(path("neuf.TSF")));
  EXPECT_TRUE(Storage::isOpen());
  EXPECT_EQ(Chose::Class().LoadedCount(), 0);
  EXPECT_EQ(Chose::Class().StoredCount(), 0);
}

TEST_F(Objects, NewObjectsAreMarkedClassedAndIdentified) {
  open("a.TSF", {});
  auto* a = new Chose;
  auto* b = new Chose;
  MEntite* e = a->entite();
  EXPECT_EQ(e->valeur_chemin("sys_racine", 0)->name(), "sys_Objet_Natif");
  EXPECT_EQ(e->valeur_chemin("sys_ID_classe", 0)->name(), "sys_Chose");
  const std::string_view id = e->valeur_chemin("SYS_OID", 0)->name();
  ASSERT_EQ(id.size(), 17u);
  EXPECT_EQ(id.front(), '>');
  EXPECT_NE(id, b->entite()->valeur_chemin("SYS_OID", 0)->name());
  EXPECT_EQ(Chose::Class().LoadedCount(), 2);
  EXPECT_EQ(Chose::Class().LoadedItem(1), b);
  EXPECT_EQ(Storage::ObjectOf(e), a);
  EXPECT_EQ(a->DisplayText(), "vide");
  std::vector<std::pair<std::string, int>> columns;
  a->AddListColumns(columns, 332);
  EXPECT_EQ(columns, (std::vector<std::pair<std::string, int>>{{"vide", 100}, {"vide", 100}, {"vide", 100}}));
}

TEST_F(Objects, AttributeEncodings) {
  open("a.TSF", {});
  auto* o = new Chose;
  struct StringCase {
    std::string set, get;
  };
  for (const StringCase& c : {StringCase{"  garde ses blancs ", "  garde ses blancs "}, StringCase{"   ", ""},
                              StringCase{"\t\r\n", ""}, StringCase{"x", "x"}}) {
    o->SetString("texte", c.set);
    EXPECT_EQ(o->GetString("texte"), c.get) << c.set;
  }
  o->SetString("texte", "   ");
  EXPECT_EQ(o->entite()->triplet_par_nom("sys_nom_attribut_texte", 0), nullptr);

  EXPECT_EQ(o->GetInteger("n"), -1);
  o->SetInteger("n", 42);
  EXPECT_EQ(o->GetInteger("N"), 42); // attribute names ignore case
  EXPECT_FALSE(o->GetBoolean("b"));
  o->SetBoolean("b", true);
  EXPECT_EQ(o->entite()->valeur_chemin("sys_nom_attribut_b", 0)->name(), "VRAI");
  EXPECT_TRUE(o->GetBoolean("b"));
  o->SetBoolean("b", false);
  EXPECT_FALSE(o->GetBoolean("b"));

  EXPECT_EQ(o->GetReal("r"), 0);
  o->SetReal("r", 2.5);
  EXPECT_EQ(o->GetReal("r"), 2.5);
  o->SetReal("r", 0);
  EXPECT_EQ(o->entite()->triplet_par_nom("sys_nom_attribut_r", 0), nullptr);
  o->entite()->affecter("sys_nom_attribut_r", "1,25"); // written elsewhere with a comma
  EXPECT_EQ(o->GetReal("r"), 1.25);

  EXPECT_EQ(o->GetDate("d"), 0);
  o->SetDate("d", at(2002, 9, 5, 2, 30));
  EXPECT_EQ(o->entite()->valeur_chemin("sys_nom_attribut_d", 0)->name(), "05/09/2002 02:30:00");
  EXPECT_NEAR(o->GetDate("d"), at(2002, 9, 5, 2, 30), 1e-9);

  EXPECT_EQ(o->GetPicture("p"), nullptr);
  QImage picture(3, 3, QImage::Format_RGB32);
  picture.fill(Qt::green);
  o->SetPicture("p", &picture);
  ASSERT_NE(o->GetPicture("p"), nullptr);
  EXPECT_EQ(o->GetPicture("p")->pixelColor(1, 1), QColor(Qt::green));
  EXPECT_EQ(std::string(o->entite()->valeur_chemin("sys_nom_attribut_p", 0)->name()).rfind("[bmp]", 0), 0u);
  o->SetPicture("p", nullptr);
  EXPECT_EQ(o->GetPicture("p"), nullptr);
}

TEST_F(Objects, BrokenTextsInAttributes) {
  open("a.TSF", {});
  auto* o = new Chose;
  o->entite()->affecter("sys_nom_attribut_n", "douze");
  try {
    o->GetInteger("n");
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_EQ(e.text(), "douze");
    EXPECT_NE(std::string(e.what()).find("n"), std::string::npos);
  }
  o->entite()->affecter("sys_nom_attribut_r", "beaucoup");
  EXPECT_THROW(o->GetReal("r"), ConvertError);

  // A day that does not exist reads as the present moment, written back at once.
  o->entite()->affecter("sys_nom_attribut_d", "31/02/2002");
  const TDateTime before = Now();
  const TDateTime read = o->GetDate("d");
  EXPECT_GE(read, before - 1.0 / 86400);
  EXPECT_LE(read, Now() + 1.0 / 86400);
  EXPECT_NE(o->entite()->valeur_chemin("sys_nom_attribut_d", 0)->name(), "31/02/2002");
  EXPECT_NEAR(o->GetDate("d"), read, 1.0 / 86400);

  // An anonymous value is no text: it is dropped.
  o->entite()->affecter("sys_nom_attribut_s", "");
  EXPECT_EQ(o->GetString("s"), "");
  EXPECT_EQ(o->entite()->triplet_par_nom("sys_nom_attribut_s", 0), nullptr);
}

TEST_F(Objects, ListsAndReferences) {
  open("a.TSF", {});
  auto* owner = new Chose;
  auto* x = new Chose;
  auto* y = new Chose;
  owner->ListAdd("liste", x);
  owner->ListAdd("liste", y);
  owner->ListAdd("liste", x);
  EXPECT_EQ(owner->ListCount("liste"), 2);
  EXPECT_EQ(owner->ListItem("liste", 1), y);
  EXPECT_EQ(owner->ListIndexOf("liste", y), 1);
  EXPECT_EQ(owner->ListIndexOf("liste", owner), -1);
  EXPECT_EQ(owner->ListItems("liste"), (ObjectList{x, y}));
  EXPECT_THROW(owner->ListItem("liste", 2), ListIndexError);
  owner->ListDelete("liste", 0);
  EXPECT_EQ(owner->ListItems("liste"), (ObjectList{y}));

  owner->SetObject("ref", x);
  EXPECT_EQ(owner->GetObject("ref"), x);
  owner->ListAdd("liste", x);
  x->Delete(); // the triples that involved it go with it
  EXPECT_EQ(owner->GetObject("ref"), nullptr);
  EXPECT_EQ(owner->ListItems("liste"), (ObjectList{y}));
  EXPECT_EQ(Chose::Class().LoadedCount(), 2);
  owner->SetObject("ref", nullptr);
  owner->ListClear("liste");
  EXPECT_EQ(owner->ListCount("liste"), 0);
}

TEST_F(Objects, SaveCloseAndReopen) {
  open("doc.TSF", {&Chose::Class(), &ChoseSpeciale::Class()});
  auto* a = new Chose;
  a->SetString("Nom", "premier");
  auto* s = new ChoseSpeciale;
  s->SetString("Nom", "spécial"_w);
  s->SetObject("lien", a);
  const std::string id = a->entite()->valeur_chemin("SYS_OID", 0)->nom();
  Storage::SaveBase(path("doc.TSF"));
  Storage::CloseBase();
  EXPECT_FALSE(Storage::isOpen());

  open("doc.TSF", {&Chose::Class(), &ChoseSpeciale::Class()});
  ASSERT_EQ(Chose::Class().LoadedCount(), 1);
  ASSERT_EQ(ChoseSpeciale::Class().LoadedCount(), 1);
  auto* a2 = Chose::Class().LoadedItem(0);
  auto* s2 = ChoseSpeciale::Class().LoadedItem(0);
  EXPECT_NE(dynamic_cast<ChoseSpeciale*>(s2), nullptr); // the subclass's constructor ran
  EXPECT_EQ(a2->GetString("Nom"), "premier");
  EXPECT_EQ(s2->GetObject("lien"), a2);
  EXPECT_EQ(a2->entite()->valeur_chemin("SYS_OID", 0)->nom(), id); // identifiers are kept
  EXPECT_EQ(Chose::Class().LoadedObjectsWithSubclasses(), (ObjectList{a2, s2}));
  EXPECT_TRUE(prompts.shown.empty()); // every schema holds
}

TEST_F(Objects, SchemaCheckReportsBrokenInstances) {
  open("doc.TSF", {&Chose::Class()});
  new Chose; // no "Nom"
  (new Chose)->SetString("Nom", "ok");
  EXPECT_EQ(Chose::Class().CheckSchema(), 1);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "1 erreur(s) / 2 instance(s) de la classe : Chose\r\n1 erreur(s) pour Attribut sys_nom_attribut_Nom\r\n");
}

TEST_F(Objects, BrokenFileLeavesNoRegistryAndIsKept) {
  MemoryStream("ZEP").saveToFile(path("casse.TSF"));
  EXPECT_THROW(open("casse.TSF", {&Chose::Class()}), DataFileError);
  EXPECT_FALSE(Storage::isOpen());
  EXPECT_EQ(Chose::Class().LoadedCount(), 0);
  QFile f(path("casse.TSF"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("ZEP"));

  WriteDataFile(MemoryStream("pas une base du tout"), path("faux.TSF"));
  try {
    open("faux.TSF", {&Chose::Class()});
    ADD_FAILURE() << "garbage opens";
  } catch (const DataFileError& e) {
    EXPECT_NE(std::string(e.what()).find(toCp1252(path("faux.TSF"))), std::string::npos) << e.what();
  }
  EXPECT_FALSE(Storage::isOpen());
}

TEST_F(Objects, ADamagedFileOpensOnlyWhenTheCallerAcceptsIt) {
  open("doc.TSF", {&Chose::Class()});
  (new Chose)->SetString("Nom", "gardé"_w);
  Storage::SaveBase(path("doc.TSF"));
  Storage::CloseBase();
  // One byte of a name changed, as a failing disk would.
  MemoryStream payload;
  ReadDataFile(path("doc.TSF"), payload);
  const std::size_t at = payload.bytes().find("gard");
  ASSERT_NE(at, std::string::npos);
  payload.bytes()[at] = 'G';
  MemoryStream damaged(payload.bytes());
  WriteDataFile(damaged, path("doc.TSF"));

  try {
    open("doc.TSF", {&Chose::Class()});
    ADD_FAILURE() << "a damaged file opens";
  } catch (const DamagedFileError& e) {
    EXPECT_NE(std::string(e.what()).find(toCp1252(path("doc.TSF")) + " » est endommagé"_w.data()), std::string::npos)
        << e.what();
  }
  EXPECT_FALSE(Storage::isOpen());
  Storage::OpenBase(path("doc.TSF"), {&Chose::Class()}, {}, {}, true);
  EXPECT_TRUE(Storage::openedDamaged());
  ASSERT_EQ(Chose::Class().LoadedCount(), 1);
  EXPECT_EQ(Chose::Class().LoadedItem(0)->GetString("Nom"), "Gardé"_w);
}

TEST_F(Objects, TextsBeyondTheStoredLengthAreRefusedAndChangeNothing) {
  open("doc.TSF", {&Chose::Class()});
  auto* o = new Chose;
  const std::string longest(longueurMaxNom, 'a');
  o->SetString("texte", longest);
  EXPECT_EQ(o->GetString("texte"), longest);
  try {
    o->SetString("texte", longest + "b");
    ADD_FAILURE() << "one past the limit is stored";
  } catch (const TextTooLongError& e) {
    EXPECT_NE(std::string(e.what()).find("il occupe 20001 caractères, la limite est de 20000"_w), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(o->GetString("texte"), longest);
  // What the file holds reads back.
  Storage::SaveBase(path("doc.TSF"));
  Storage::CloseBase();
  open("doc.TSF", {&Chose::Class()});
  EXPECT_EQ(Chose::Class().LoadedItem(0)->GetString("texte"), longest);
}

TEST_F(Objects, AnEmptyBaseWithoutAFile) {
  Storage::OpenEmpty({&Chose::Class()});
  EXPECT_TRUE(Storage::isOpen());
  new Chose;
  EXPECT_EQ(Chose::Class().LoadedCount(), 1);
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
  EXPECT_FALSE(Storage::fileRead().fingerprint.exists);
}

TEST_F(Objects, ResourceEntitiesMapToTheirSecondClass) {
  open("a.TSF", {});
  // Stored the way resources are: a general class first, the real one second.
  EntityRef e = b().nouvelle_entite();
  e->ajouter(b().relation("sys_racine"), b().symbole("sys_Objet_Natif"));
  e->ajouter(b().relation("sys_ID_classe"), b().symbole("sys_Mressource"));
  e->ajouter(b().relation("sys_ID_classe"), b().symbole("sys_ChoseSpeciale"));
  ChoseSpeciale::Class().LoadAll();
  ASSERT_EQ(ChoseSpeciale::Class().LoadedCount(), 1);
  EXPECT_EQ(Storage::ObjectOf(e.get()), ChoseSpeciale::Class().LoadedItem(0));
  EXPECT_EQ(Storage::ObjectOf(nullptr), nullptr);
}

TEST_F(Objects, QueriesReclassingAndReferences) {
  open("a.TSF", {&Chose::Class()});
  auto* a = new Chose;
  a->SetString("Nom", "rouge");
  auto* c = new Chose;
  c->SetString("Nom", "vert");
  auto* holder = new ChoseSpeciale;
  holder->SetObject("lien", a);
  EXPECT_EQ(Storage::FindByAttributes("Chose", {"Nom = rouge", "sans egal"}), (ObjectList{a}));
  EXPECT_EQ(Storage::ReferencingObjects(a->entite(), nullptr), (ObjectList{holder}));
  EXPECT_EQ(Storage::ReferencingObjects(a->entite(), &Chose::Class()), ObjectList{});
  EXPECT_EQ(Storage::ReferencingObjects(a->entite(), &ChoseSpeciale::Class()), (ObjectList{holder}));

  Storage::Reclass("Chose", "ChoseSpeciale");
  EXPECT_EQ(a->entite()->valeur_chemin("sys_ID_classe", 0)->name(), "sys_ChoseSpeciale");
  EXPECT_EQ(ChoseSpeciale::Class().StoredCount(), 3);
  // The loaded object is a Chose: its entity now names another class.
  EXPECT_EQ(Storage::ObjectOf(a->entite()), nullptr);
  EXPECT_EQ(Storage::ObjectOf(holder->entite()), holder);
}

TEST_F(Objects, ImportedCopiesGetNewIdentifiers) {
  open("source.TSF", {&Chose::Class()});
  (new Chose)->SetString("Nom", "original");
  Storage::SaveBase(path("source.TSF"));
  const std::string id = Chose::Class().LoadedItem(0)->entite()->valeur_chemin("SYS_OID", 0)->nom();
  Storage::ImportBase(path("source.TSF"));
  const MListe<MTruc> copies = b().triplets_par_noms("sys_ID_classe", "sys_Chose");
  ASSERT_EQ(copies.Count(), 2);
  const std::string first = copies.Item(0)->sujet()->valeur_chemin("SYS_OID", 0)->nom();
  const std::string second = copies.Item(1)->sujet()->valeur_chemin("SYS_OID", 0)->nom();
  EXPECT_EQ(first, id);
  EXPECT_NE(second, id);
  EXPECT_EQ(second.size(), 17u);
}

TEST_F(Objects, ClosingFreesEveryObjectAndKeepsTheBase) {
  open("a.TSF", {});
  auto* a = new Chose;
  a->SetString("Nom", "reste");
  MEntite* e = a->entite();
  Storage::CloseBase();
  EXPECT_EQ(Chose::Class().LoadedCount(), 0);
  EXPECT_EQ(e->valeur_chemin("sys_nom_attribut_Nom", 0)->name(), "reste");
}

// Windows keep objects the user may delete or the document may free: the
// token tells them without touching the object, whichever way it went.
TEST_F(Objects, LivenessFollowsTheObjectOutOfTheRegistry) {
  struct Case {
    const char* name;
    std::function<void(Chose*)> end;
    bool stillInMemory;
  };
  const Case cases[] = {
      {"deleted", [](Chose* o) { o->Delete(); }, false},
      {"erased", [](Chose* o) { o->Erase(); }, true},
      {"released", [](Chose* o) { o->Release(); }, true},
      {"freed", [](Chose* o) { delete o; }, false},
      {"base closed", [](Chose*) { Storage::CloseBase(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open("a.TSF", {});
    auto* o = new Chose;
    auto* other = new Chose;
    const std::shared_ptr<const bool> alive = o->liveness();
    EXPECT_TRUE(*alive);
    EXPECT_EQ(o->liveness(), alive); // one token per object
    c.end(o);
    EXPECT_FALSE(*alive);
    if (Storage::isOpen()) {
      EXPECT_TRUE(*other->liveness());
    }
    if (c.stillInMemory) {
      EXPECT_FALSE(*o->liveness());
      delete o;
    }
    Storage::CloseBase();
  }
  // An object already out of the registry gets a token that reads gone.
  open("a.TSF", {});
  auto* o = new Chose;
  o->Release();
  EXPECT_FALSE(*o->liveness());
  delete o;
}
