#include "EngineFixture.h"

#include "foundation/Cp1252.h"

#include <QImage>

using namespace tessel;
using tessel::test::EngineTest;
using Kind = tessel::test::RecordingPrompts::Kind;

using Entities = EngineTest;

TEST_F(Entities, AjouterAddsOneTripleAndReturnsTheValueBothTimes) {
  MEntite* e = anon();
  MEntite* r = rel("r");
  MEntite* v = sym("v");
  EXPECT_EQ(e->ajouter(r, v), v);
  EXPECT_EQ(e->ajouter(r, v), v);
  EXPECT_EQ(e->nb_fils(), 1);
  EXPECT_EQ(e->ajouter("r", static_cast<MEntite*>(nullptr)), nullptr);
  EXPECT_EQ(e->nb_fils(), 1);
}

TEST_F(Entities, AffecterReplacesTheFirstTripleAndMovesItToTheEnd) {
  MEntite* e = anon();
  e->ajouter(rel("a"), sym("1"));
  e->ajouter(rel("b"), sym("2"));
  e->ajouter(rel("c"), sym("3"));
  EXPECT_FALSE(e->affecter("a", sym("1")));
  EXPECT_EQ(e->fils(0)->relation(), rel("a"));
  EXPECT_TRUE(e->affecter("a", "9"));
  ASSERT_EQ(e->nb_fils(), 3);
  EXPECT_EQ(e->fils(0)->relation(), rel("b"));
  EXPECT_EQ(e->fils(2)->relation(), rel("a"));
  EXPECT_EQ(e->valeur_de(rel("a"), 0), sym("9"));
  // An empty value name is a fresh anonymous entity every time.
  EXPECT_TRUE(e->affecter("lien", ""));
  MEntite* first = e->valeur_de(rel("lien"), 0);
  EXPECT_TRUE(e->affecter("lien", ""));
  EXPECT_NE(e->valeur_de(rel("lien"), 0), first);
  EXPECT_TRUE(e->valeur_de(rel("lien"), 0)->name().empty());
  EXPECT_EQ(e->nb_fils_par("lien"), 1);
}

TEST_F(Entities, ReadingByNameAndPath) {
  MEntite* e = anon();
  MEntite* a0 = anon();
  MEntite* a1 = anon();
  MEntite* bEntity = anon();
  e->ajouter(rel("a"), a0);
  e->ajouter(rel("a"), a1);
  a0->ajouter(rel("b"), sym("faux"));
  a1->ajouter(rel("b"), bEntity);
  a1->ajouter(rel("b"), sym("second b"));
  bEntity->ajouter(rel("c"), sym("trouvé"_w));
  EXPECT_EQ(e->valeur_chemin("a.b.c", 1), sym("trouvé"_w));
  EXPECT_EQ(e->valeur_chemin("a.b.c", 0), nullptr);
  EXPECT_EQ(e->valeur_chemin("a", 2), nullptr);

  MEntite* o = anon();
  o->ajouter(rel("ID"), sym("x1"));
  o->ajouter(rel("élément"_w), sym("y"));
  EXPECT_EQ(o->triplet_par_nom("id", 0)->relation(), rel("ID"));
  EXPECT_EQ(o->triplet_par_nom("ÉLÉMENT"_w, 0), nullptr);
  EXPECT_EQ(o->texte_valeur(rel("absent")), "***n'existe pas***");
  EXPECT_EQ(o->texte_valeur(rel("ID")), "x1");
  EXPECT_EQ(o->identifiant(), "x1");
  EXPECT_EQ(sym("nom")->identifiant(), "nom");

  MEntite* p = anon();
  p->ajouter(rel("sys_id"), sym("z"));
  EXPECT_EQ(p->identifiant(), "z");
  EXPECT_EQ(anon()->identifiant(), "");

  EXPECT_EQ(sym("x1")->nb_peres(), 1);
  EXPECT_EQ(sym("x1")->pere(0), o);
  EXPECT_EQ(sym("x1")->pere_par_nom("Id", 0), o);
  EXPECT_EQ(sym("x1")->pere_par_nom("Id", 1), nullptr);
  EXPECT_EQ(sym("x1")->nb_peres_par("ID"), 1);
  EXPECT_EQ(rel("b")->nb_usages(), 3);
}

TEST_F(Entities, TripleTexts) {
  MEntite* e = anon();
  MTruc* t = b().ajouter_triplet(e, rel("r"), sym("v"));
  EXPECT_EQ(t->texte_triplet(), "\"\",\"r\",\"v\"");
  const std::string n = t->nom();
  EXPECT_EQ(n.substr(0, 1), "[");
  EXPECT_NE(n.find(" , r , v]"), std::string::npos);
  EXPECT_NE(n.substr(1, n.find(' ') - 1), ""); // a number stands for the anonymous subject
}

// Triples keep their entities packed with their number: taking part in
// triples of their own must change neither.
TEST_F(Entities, ATripleKeepsItsEntitiesAndNumberWhenItBecomesAnEntity) {
  MEntite* e = anon();
  MEntite* r = rel("r");
  MSymbole* v = sym("v");
  MTruc* t = b().ajouter_triplet(e, r, v);
  MTruc* later = b().ajouter_triplet(e, r, t); // a triple as a value
  const std::uint64_t number = t->sequence();
  EXPECT_LT(number, later->sequence());
  MTruc* about = b().ajouter_triplet(t, rel("note"), sym("vue")); // and as a subject
  EXPECT_EQ(t->sujet(), e);
  EXPECT_EQ(t->relation(), r);
  EXPECT_EQ(t->valeur(), v);
  EXPECT_EQ(t->sequence(), number);
  EXPECT_EQ(later->valeur(), t);
  EXPECT_EQ(about->sujet(), t);
  EXPECT_EQ(t->nb_fils(), 1);
  EXPECT_TRUE(e->subjects().holds(t));
  EXPECT_TRUE(v->values().holds(t));
  EXPECT_EQ(e->triplet(r, 0), t);
  // Entities made otherwise than by new (here on the stack) are packed too.
  MEntite local;
  MTruc* onStack = b().ajouter_triplet(e, r, &local);
  EXPECT_EQ(onStack->valeur(), &local);
  MTruc::detruire(onStack);
}

TEST_F(Entities, CascadeStopsAtSharedOrRootValues) {
  struct Case {
    const char* name;
    bool sharedValue;
    bool rootValue;
    bool keepsSons;
  };
  const Case cases[] = {
      {"sole holder", false, false, false},
      {"shared value", true, false, true},
      {"root value", false, true, true},
  };
  for (const Case& c : cases) {
    MEntite* owner = anon();
    MEntite* value = anon();
    MEntite* grandChild = anon();
    EntityRef keepValue(value);
    owner->ajouter(rel("lien"), value);
    value->ajouter(rel("fils"), grandChild);
    grandChild->ajouter(rel("feuille"), sym("f"));
    if (c.sharedValue) anon()->ajouter(rel("autre"), value);
    if (c.rootValue) value->ajouter(rel("sys_racine"), sym("sys_Objet_Natif"));
    MTruc::detruire_cascade(owner->fils(0));
    EXPECT_EQ(owner->nb_fils(), 0) << c.name;
    EXPECT_EQ(value->nb_fils() > 0, c.keepsSons) << c.name;
    EXPECT_EQ(sym("f")->nb_peres() > 0, c.keepsSons) << c.name;
  }
}

TEST_F(Entities, SupprimerLiensRemovesEveryTripleAndFreesWhatNobodyHolds) {
  MEntite* e = anon();
  e->ajouter(rel("a"), sym("1"));
  e->affecter("enfant", "");
  e->valeur_de(rel("enfant"), 0)->ajouter(rel("x"), sym("2"));
  anon()->ajouter(rel("ref"), e);
  const int before = b().triplets().count();
  ASSERT_EQ(before, 4);
  e->supprimer_liens();
  EXPECT_TRUE(e->hasNoTriples());
  EXPECT_EQ(b().triplets().count(), 0);
  EXPECT_EQ(sym("2")->nb_peres(), 0);
}

TEST_F(Entities, DecrireTerminatesOnCycles) {
  MEntite* a = anon();
  MEntite* c = anon();
  a->ajouter(rel("vers"), c);
  c->ajouter(rel("vers"), a);
  const std::string text = a->decrire();
  EXPECT_NE(text.find("\"vers\"\r\n"), std::string::npos);
  MListe<MEntite> entities;
  MListe<MTruc> triples;
  a->fermeture(entities, triples);
  EXPECT_EQ(triples.Count(), 2);
  EXPECT_EQ(entities.Count(), 3); // a, vers, c
}

TEST_F(Entities, SymbolSubjectWarnsInTheErrorWindowButTheTripleExists) {
  MEntite* s = sym("S");
  MTruc* t = b().ajouter_triplet(s, rel("r"), sym("v"));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, Kind::ErrorWindow);
  EXPECT_EQ(prompts.shown[0].text, "Attention : le symbole S ne peut pas avoir de fils !\r\n\"S\",\"r\",\"v\"");
  EXPECT_EQ(s->nb_fils(), 0);
  EXPECT_EQ(rel("r")->nb_usages(), 1);
  EXPECT_TRUE(b().triplets().holds(t));
}

TEST_F(Entities, PlainDestructionOfAWorkspaceTripleIsReportedAndStillSound) {
  MWorkSpace ws("espace");
  MEntite* e = anon();
  e->ajouter(rel("r"), sym("v"), &ws);
  ASSERT_EQ(ws.triplets().count(), 2);
  prompts.clear();
  e->retirer("r", 0); // no workspace given: the plain destructor
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, Kind::Plain);
  EXPECT_EQ(prompts.shown[0].text, "destruction non valide du truc : \"\",\"r\",\"v\"");
  EXPECT_EQ(ws.triplets().count(), 1);
}

TEST_F(Entities, PictureSymbolNames) {
  QImage image(2, 2, QImage::Format_RGB32);
  image.fill(Qt::red);
  auto* first = new MSymbole_bitmap("logo", image);
  EXPECT_EQ(first->name(), "[bmp]1logo");
  auto* second = new MSymbole_bitmap("logo", image);
  EXPECT_EQ(second->name(), "[bmp]2logo");
  auto* kept = new MSymbole_bitmap("[BMP]x", image);
  EXPECT_EQ(kept->name(), "[BMP]x");
  EXPECT_EQ(kept->image().width(), 2);
}

TEST_F(Entities, WorkspacesGetNumberedModelNamesAndClearThemselves) {
  MWorkSpace first("tablo_parser");
  MWorkSpace second("tablo_parser");
  EXPECT_EQ(first.modelName(), "tablo_parser_1");
  EXPECT_EQ(second.modelName(), "tablo_parser_2");
  EXPECT_EQ(tablo_courant, &second);
  EXPECT_EQ(first.fils(0)->valeur(), b().chercher_symbole("tablo_parser_1"));
  EXPECT_TRUE(first.contient(first.fils(0)));
  EXPECT_FALSE(b().triplets().holds(first.fils(0)));

  MEntite* e = anon();
  e->ajouter(rel("r"), sym("a"), &first);
  e->ajouter(rel("r"), sym("b"), &first);
  first.vider_triplets();
  EXPECT_EQ(first.triplets().count(), 1);
  EXPECT_EQ(e->nb_fils(), 0);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Entities, ArraysKeepTheirTypeTriple) {
  MWorkSpace ws("ws");
  Marray array("mot", &ws);
  EXPECT_EQ(array.type_element(), sym("mot"));
  array.ajouter_element(sym("x"));
  array.ajouter_element_nomme("y");
  EXPECT_EQ(array.nb_fils(), 3);
  array.vider_elements(nullptr);
  EXPECT_EQ(array.nb_fils(), 1);

  // Without its type triple an array falls back to "élément" and records it.
  array.retirer("sys_type_array", 0, &ws);
  EXPECT_EQ(array.type_element(), sym("élément"_w));
  EXPECT_EQ(array.valeur_de(rel("sys_type_array"), 0), sym("élément"_w));
}

TEST_F(Entities, DestroyingAnEntityRemovesItsTriplesInEveryRole) {
  auto e = std::make_unique<MEntite>();
  e->ajouter(rel("r"), sym("v"));
  anon()->ajouter(rel("vers"), e.get());
  b().ajouter_triplet(anon(), e.get(), sym("w"));
  ASSERT_EQ(b().triplets().count(), 3);
  e.reset();
  EXPECT_EQ(b().triplets().count(), 0);
  EXPECT_TRUE(prompts.shown.empty());
}
