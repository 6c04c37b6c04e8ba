#include "EngineFixture.h"

#include "engine/ZEP_requete.h"
#include "foundation/Cp1252.h"
#include "foundation/F_erreur.h"

using namespace tessel;
using tessel::test::EngineTest;
using Kind = tessel::test::RecordingPrompts::Kind;

namespace {

class Queries : public EngineTest {
protected:
  Queries() { initialiser_requetes(); }

  std::unique_ptr<Mrequete> compile(std::string_view text) {
    auto q = std::make_unique<Mrequete>("test");
    q->compiler(text, b());
    return q;
  }

  // Each solution row as "name=value" texts, in declaration order; "?" for an
  // anonymous value, nothing after "=" when unbound.
  std::vector<std::vector<std::string>> rows(Mrequete& q) {
    std::vector<std::vector<std::string>> result;
    Mens_solution* s = q.resoudre();
    if (!s) return result;
    for (int i = 0; i < s->nb_fils(); ++i) {
      MEntite* row = s->valeur_fils(i);
      std::vector<std::string> cells;
      for (int c = 0; c < row->nb_fils(); ++c) {
        MEntite* cell = row->valeur_fils(c);
        const MEntite* var = cell->valeur_chemin("nom", 0);
        const MEntite* value = cell->valeur_chemin("valeur", 0);
        std::string v = value ? (value->name().empty() ? "?" + std::string(value->name()) : value->nom()) : "";
        if (value && value->name().empty()) v = labels.count(value) ? labels[value] : "?";
        cells.push_back(std::string(var->name()) + "=" + v);
      }
      result.push_back(cells);
    }
    return result;
  }

  // An object of class `cls` with a name, for readable solutions.
  MEntite* object(const std::string& label, const std::string& cls) {
    MEntite* o = anon();
    labels[o] = label;
    o->ajouter(rel("sys_racine"), sym("sys_Objet_Natif"));
    o->ajouter(rel("sys_ID_classe"), sym("sys_" + cls));
    return o;
  }

  std::map<const MEntite*, std::string> labels;
};

using Rows = std::vector<std::vector<std::string>>;

} // namespace

TEST_F(Queries, SectionsVariablesAndConditions) {
  sym("r");
  sym("v");
  auto q = compile("REQ q PARAMETRES A CORPS A r v FIN");
  EXPECT_EQ(q->nom_requete(), " q ");
  ASSERT_EQ(q->variables().Count(), 1);
  EXPECT_EQ(q->variables().Item(0)->name(), "A");
  ASSERT_EQ(q->conditions().size(), 1u);
  EXPECT_EQ(q->conditions()[0]->sujet(), q->variables().Item(0));
  EXPECT_EQ(q->conditions()[0]->relation(), sym("r"));
  EXPECT_EQ(q->conditions()[0]->valeur(), sym("v"));
  EXPECT_TRUE(prompts.shown.empty());

  auto d = compile("REQ x DESCRIPTION \"Liste des notes\" PARAMETRES A CORPS FIN");
  EXPECT_EQ(d->description(), "Liste des notes");
  EXPECT_TRUE(d->conditions().empty());
  EXPECT_EQ(d->resoudre(), nullptr); // an empty query
}

TEST_F(Queries, QuotedValuesAreLiteralAndUnknownNamesAreAsked) {
  sym("r");
  auto q = compile("REQ q PARAMETRES A CORPS A r \"Réunion 2\" FIN"_w);
  EXPECT_TRUE(prompts.shown.empty());
  // The quoted text is one word, and its symbol is made without the quotes.
  EXPECT_NE(b().chercher_symbole("Réunion 2"_w), nullptr);
  EXPECT_EQ(q->conditions()[0]->valeur(), b().chercher_symbole("Réunion 2"_w));

  prompts.answer(Answer::Yes);
  auto asked = compile("REQ q PARAMETRES A CORPS A r inconnu FIN");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, Kind::YesNo);
  EXPECT_EQ(prompts.shown[0].text, "Désirez-vous que inconnu soit une variable ?"_w);
  EXPECT_EQ(asked->variables().Count(), 2);
  EXPECT_EQ(asked->conditions()[0]->valeur(), asked->variables().Item(1));

  prompts.clear();
  prompts.answer(Answer::No);
  auto symbol = compile("REQ q PARAMETRES A CORPS A r autre FIN");
  EXPECT_EQ(symbol->conditions()[0]->valeur(), b().chercher_symbole("autre"));
}

TEST_F(Queries, VariableLookupConstraintsAndDroppedKeywords) {
  sym("r");
  sym("v");
  auto q = compile("REQ q PARAMETRES A a CONTRAINTES A UNIQUE a unique CORPS A r v Lire eval FIN");
  ASSERT_EQ(q->variables().Count(), 2);
  EXPECT_EQ(q->trouver_variable("A"), q->variables().Item(1)); // the later one
  EXPECT_TRUE(q->variables().Item(0)->unique);
  EXPECT_FALSE(q->variables().Item(1)->unique);
  EXPECT_EQ(q->conditions().size(), 1u);

  auto lower = compile("REQ q PARAMETRES A CONTRAINTES a UNIQUE CORPS A r v FIN");
  EXPECT_FALSE(lower->variables().Item(0)->unique);
}

TEST_F(Queries, PathsNegationAndComparisonsBuildConditions) {
  for (const char* name : {"r1", "r2", "r"}) sym(name);
  auto path = compile("REQ q PARAMETRES A B CORPS A r1 . r2 B FIN");
  ASSERT_EQ(path->conditions().size(), 2u);
  Mvariable* tmp = path->trouver_variable("#TMP0");
  ASSERT_NE(tmp, nullptr);
  EXPECT_EQ(path->conditions()[0]->valeur(), tmp);
  EXPECT_EQ(path->conditions()[1]->sujet(), tmp);
  EXPECT_EQ(path->conditions()[1]->relation(), sym("r2"));

  auto negative = compile("REQ q PARAMETRES A CORPS NOT A r v FIN");
  ASSERT_EQ(negative->conditions().size(), 1u);
  EXPECT_NE(dynamic_cast<Mexpr_conditionnelle_negative*>(negative->conditions()[0].get()), nullptr);

  auto compared = compile("REQ q PARAMETRES A B CORPS A date< B FIN");
  ASSERT_EQ(compared->conditions().size(), 1u);
  EXPECT_EQ(compared->conditions()[0]->relation()->name(), "date<");
  EXPECT_TRUE(compared->conditions()[0]->estComparaison());
}

TEST_F(Queries, MalformedQueriesAreRefusedWithThePlace) {
  for (const char* name : {"r", "r1", "r2", "v"}) sym(name);
  struct Case {
    const char* text;
    const char* message; // after "Requête mal formée : "
  };
  const Case cases[] = {
      {"", "le texte est vide."},
      {"   ", "le texte est vide."},
      {"garbage", "elle doit commencer par REQ, pas par « garbage »."},
      {"A r v", "elle doit commencer par REQ, pas par « A »."},
      {"REQ", "la section CORPS manque."},
      {"REQ q PARAMETRES A", "la section CORPS manque."},
      {"REQ q PARAMETRES A CORPS A r v", "le corps ne se termine pas par FIN."},
      {"REQ q PARAMETRES A CORPS", "le corps ne se termine pas par FIN."},
      {"REQ q PARAMETRES A CORPS A FIN",
       "le motif « A » s'arrête à la fin du corps (mot 1) : il lui faut un sujet, une relation et une valeur."},
      {"REQ q PARAMETRES A CORPS A r v A r FIN",
       "le motif « A r » s'arrête à la fin du corps (mot 5) : il lui faut un sujet, une relation et une valeur."},
      {"REQ q PARAMETRES A CORPS NOT A r FIN",
       "le motif « A r » s'arrête à la fin du corps (mot 3) : il lui faut un sujet, une relation et une valeur."},
      {"REQ q PARAMETRES A CORPS A NOT r v FIN", "NOT doit précéder un motif (mot 2 du corps)."},
      {"REQ q PARAMETRES A B CORPS . r B FIN", "« . » doit suivre un sujet et une relation (mot 1 du corps)."},
      {"REQ q PARAMETRES A B CORPS A r1 . . r2 B FIN", "« . » doit suivre un sujet et une relation (mot 4 du corps)."},
      {"REQ q PARAMETRES A B CORPS ( A r , v ) FIN", "« , » doit suivre un motif complet (mot 4 du corps)."},
      {"REQ q PARAMETRES A B CORPS A = = B FIN", "un terme de trop après « A = = » (mot 4 du corps)."},
  };
  for (const Case& c : cases) {
    prompts.clear();
    try {
      compile(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ListIndexError& e) {
      ADD_FAILURE() << c.text << ": " << e.what();
    } catch (const TesselError& e) {
      EXPECT_EQ(std::string(e.what()), "Requête mal formée : "_w.data() + utf8ToCp1252(c.message)) << c.text;
    }
    EXPECT_TRUE(prompts.shown.empty()) << c.text; // no question about a name of a broken query
  }
}

TEST_F(Queries, ClassQueriesGiveOneRowPerMatch) {
  MEntite* o1 = object("o1", "K");
  MEntite* o2 = object("o2", "K");
  MEntite* o3 = object("o3", "K");
  object("autre", "L")->ajouter(rel("r"), sym("v"));
  o1->ajouter(rel("r"), sym("v"));
  o3->ajouter(rel("r"), sym("v"));
  o3->ajouter(rel("r"), sym("w"));
  o2->ajouter(rel("r"), sym("w"));
  auto q = compile("REQ q PARAMETRES A CORPS A sys_ID_classe sys_K A r v FIN");
  EXPECT_EQ(rows(*q), (Rows{{"A=o1"}, {"A=o3"}}));

  // Matching the second condition through two triples gives two rows...
  o1->ajouter(rel("r2"), sym("x"));
  o1->ajouter(rel("r2"), sym("y"));
  sym("r2");
  auto twice = compile("REQ q PARAMETRES A B CORPS A sys_ID_classe sys_K A r2 B FIN");
  EXPECT_EQ(rows(*twice), (Rows{{"A=o1", "B=x"}, {"A=o1", "B=y"}}));
  // ...and a unique variable delivers each value once.
  auto unique = compile("REQ q PARAMETRES A B CONTRAINTES A UNIQUE CORPS A sys_ID_classe sys_K A r2 B FIN");
  EXPECT_EQ(rows(*unique), (Rows{{"A=o1", "B=x"}}));
}

TEST_F(Queries, UniqueVariablesDeliverEachValueOnceAndLoseNoOther) {
  // gp has the tags t1 and t2, gq has t1, gr has t2 and t3.
  const std::pair<const char*, std::vector<const char*>> groups[] = {
      {"gp", {"t1", "t2"}}, {"gq", {"t1"}}, {"gr", {"t2", "t3"}}};
  for (const auto& [name, tags] : groups) {
    MEntite* g = object(name, "Mgroupe");
    for (const char* tag : tags) g->ajouter(rel("sys_nom_attribut_tag"), sym(tag));
  }
  struct Case {
    std::string parameters;
    Rows expected;
  };
  const Case cases[] = {
      {"A T", {{"A=gp", "T=t1"}, {"A=gp", "T=t2"}, {"A=gq", "T=t1"}, {"A=gr", "T=t2"}, {"A=gr", "T=t3"}}},
      // After each group the search goes straight back to the next one: the
      // tag bound for the previous group must not stay bound.
      {"A T CONTRAINTES T x A UNIQUE", {{"A=gp", "T=t1"}, {"A=gq", "T=t1"}, {"A=gr", "T=t2"}}},
      {"A T CONTRAINTES T UNIQUE", {{"A=gp", "T=t1"}, {"A=gp", "T=t2"}, {"A=gr", "T=t3"}}},
      // The last unique variable declared decides where the search resumes;
      // the other one still never repeats a value.
      {"T A CONTRAINTES T UNIQUE A UNIQUE", {{"T=t1", "A=gp"}, {"T=t2", "A=gr"}}},
  };
  for (const Case& c : cases) {
    auto q = compile("REQ q PARAMETRES " + c.parameters +
                     " CORPS A sys_ID_classe sys_Mgroupe A sys_nom_attribut_tag T FIN");
    EXPECT_EQ(rows(*q), c.expected) << c.parameters;
  }
}

TEST_F(Queries, NegationUnboundVariablesAndTheWorkspaceRestriction) {
  MEntite* o1 = object("o1", "K");
  MEntite* o2 = object("o2", "K");
  object("o3", "K"); // no r at all
  o1->ajouter(rel("r"), sym("v"));
  o2->ajouter(rel("r"), sym("w"));
  auto q = compile("REQ q PARAMETRES A CORPS A sys_ID_classe sys_K NOT A r v FIN");
  EXPECT_EQ(rows(*q), (Rows{{"A=o2"}}));

  auto free = compile("REQ q PARAMETRES A Libre CORPS A r v FIN");
  EXPECT_EQ(rows(*free), (Rows{{"A=o1", "Libre="}}));

  MWorkSpace ws("espace");
  o2->ajouter(rel("r"), sym("v"), &ws);
  auto restricted = compile("REQ q PARAMETRES A CORPS A r v FIN");
  ASSERT_NE(restricted->resoudre(&ws), nullptr);
  EXPECT_EQ(restricted->solution()->nb_fils(), 1);
  EXPECT_EQ(restricted->solution()->valeur_fils(0)->valeur_fils(0)->valeur_chemin("valeur", 0), o2);
}

TEST_F(Queries, Comparisons) {
  struct Case {
    std::string left, op, right;
    bool holds;
  };
  const Case cases[] = {
      {"2,5", "<", "10", true},      {"10", "<", "2,5", false},      {"3", "=<", "3", true},
      {"3", "<=", "3", true},        {"4", ">", "3,9", true},        {"3", ">=", "3", true},
      {"abc", "=", "abc", true},     {"abc", "=", "ABC", false},     {"abc", "<>", "ABC", true},
      {"01/02/2005", "date<", "03/02/2005", true}, {"03/02/2005", "date>", "01/02/2005", true},
      {"01/02/2005", "date<=", "01/02/2005", true}, {"01/02/2005", "date>=", "03/02/2005", false},
  };
  for (const Case& c : cases) {
    MEntite* x = anon();
    MEntite* y = anon();
    MEntite* left = sym(c.left);
    // Names differing only in case: a second symbol the table does not hold.
    MEntite* right = SameText(c.left, c.right) && c.left != c.right ? new MSymbole(c.right) : sym(c.right);
    x->ajouter(rel("val"), left);
    y->ajouter(rel("val"), right);
    x->ajouter(rel("lien"), y);
    auto q = compile("REQ q PARAMETRES X Y P Q CORPS X lien Y X val P Y val Q P " + c.op + " Q FIN");
    EXPECT_EQ(rows(*q).size(), c.holds ? 1u : 0u) << c.left << ' ' << c.op << ' ' << c.right;
    x->supprimer_liens();
    y->supprimer_liens();
  }
  // A number that is no number ends the solve with a conversion error.
  MEntite* x = anon();
  x->ajouter(rel("val"), sym("douze"));
  auto q = compile("REQ q PARAMETRES X P CORPS X val P P < \"3\" FIN");
  EXPECT_THROW(q->resoudre(), ConvertError);
}

TEST_F(Queries, NoUsableCandidateEndsTheSolveWithTheRowsFound) {
  object("o1", "K");
  // "=" names an operator: A and B unbound, nothing to walk for the second condition.
  auto q = compile("REQ q PARAMETRES A B C CORPS A sys_ID_classe sys_K B = C FIN");
  EXPECT_NO_THROW(rows(*q));
  EXPECT_TRUE(rows(*q).empty());
}

TEST_F(Queries, LargeClassesAreStillQueried) {
  MEntite* classRelation = rel("sys_ID_classe");
  MEntite* cls = sym("sys_Grande");
  for (int i = 0; i < 33000; ++i) {
    EntityRef o = b().nouvelle_entite();
    o->ajouter(classRelation, cls);
    if (i % 1000 == 0) o->ajouter(rel("marque"), sym("oui"));
    refs.push_back(o);
  }
  auto q = compile("REQ q PARAMETRES A CORPS A sys_ID_classe sys_Grande FIN");
  ASSERT_NE(q->resoudre(), nullptr);
  EXPECT_EQ(q->solution()->nb_fils(), 33000);
  auto marked = compile("REQ q PARAMETRES A CORPS A sys_ID_classe sys_Grande A marque oui FIN");
  ASSERT_NE(marked->resoudre(), nullptr);
  EXPECT_EQ(marked->solution()->nb_fils(), 33);
}

TEST_F(Queries, SolutionsGoWithTheirQuery) {
  object("o1", "K");
  int before = 0;
  {
    auto q = compile("REQ q PARAMETRES A CORPS A sys_ID_classe sys_K FIN");
    before = b().triplets().count(); // the analysis may have added lexical entries
    ASSERT_NE(q->resoudre(), nullptr);
    EXPECT_GT(b().triplets().count(), before);
  }
  EXPECT_EQ(b().triplets().count(), before);
}
