#include "EngineFixture.h"

#include "engine/ZEP_arbre.h"

using namespace tessel;

namespace {

std::vector<Mlettre*> word(MArbre& tree, std::string_view text) {
  std::vector<Mlettre*> letters;
  for (char c : text) letters.push_back(tree.nouvelle_lettre(static_cast<std::uint8_t>(c)));
  return letters;
}

} // namespace

TEST(LetterTree, CommonPrefixesShareNodes) {
  MArbre tree;
  tree.setLienFinal(false);
  MNoeud_arbre* c = tree.inserer_mot(word(tree, "ABC"));
  MNoeud_arbre* d = tree.inserer_mot(word(tree, "ABD"));
  EXPECT_NE(c, d);
  ASSERT_EQ(tree.racine()->nb_enfants(), 1);
  MNoeud_arbre* a = tree.racine()->enfant(0);
  ASSERT_EQ(a->nb_enfants(), 1);
  MNoeud_arbre* b = a->enfant(0);
  EXPECT_EQ(b->nb_enfants(), 2);
  EXPECT_EQ(tree.noeuds().Count(), 5); // root, A, B, C, D
}

TEST(LetterTree, SameWordTwiceAddsNothingAndFindsTheEndArc) {
  MArbre tree;
  MNoeud_arbre* end = tree.nouveau_noeud(nullptr);
  tree.setNoeudFinal([end] { return end; });
  EXPECT_EQ(tree.inserer_mot(word(tree, "OK")), end);
  const int nodes = tree.noeuds().Count();
  const int arcs = tree.arcs().Count();
  EXPECT_EQ(tree.inserer_mot(word(tree, "OK")), end);
  EXPECT_EQ(tree.noeuds().Count(), nodes);
  EXPECT_EQ(tree.arcs().Count(), arcs);
}

TEST(LetterTree, ClosedChildrenArePassedOver) {
  MArbre tree;
  tree.setLienFinal(false);
  MNoeud_arbre* closed = tree.nouvel_enfant(tree.racine(), tree.nouvelle_lettre('X'));
  closed->setFerme(true);
  MNoeud_arbre* x = tree.inserer_mot(word(tree, "X"));
  EXPECT_NE(x, closed);
  EXPECT_EQ(tree.racine()->nb_enfants(), 2);
}

TEST(Graph, ArcsAreUniqueAndGoWithTheirNodes) {
  MGraph graph;
  auto* a = graph.ajouter_noeud(new MNoeud(&graph, nullptr));
  auto* b = graph.ajouter_noeud(new MNoeud(&graph, nullptr));
  auto* c = graph.ajouter_noeud(new MNoeud(&graph, nullptr));
  Warc* ab = graph.creer_arc(a, b, nullptr);
  EXPECT_EQ(graph.creer_arc(a, b, nullptr), ab);
  graph.creer_arc(b, c, nullptr);
  graph.creer_arc(c, a, nullptr);
  graph.creer_arc(b, b, nullptr);
  EXPECT_EQ(b->degre_entrant(), 2);
  EXPECT_EQ(b->degre_sortant(), 2);
  EXPECT_EQ(a->autre_bout(ab), b);
  EXPECT_EQ(b->autre_bout(ab), a);
  delete b;
  EXPECT_EQ(graph.noeuds().Count(), 2);
  EXPECT_EQ(graph.arcs().Count(), 1);
  EXPECT_EQ(a->degre_sortant(), 0);
  EXPECT_EQ(a->degre_entrant(), 1);
  EXPECT_EQ(c->degre_sortant(), 1);
  EXPECT_EQ(c->arc_vers(a)->destination(), a);
  EXPECT_EQ(a->arc_vers(c), nullptr);

  MGraph other;
  auto* foreign = other.ajouter_noeud(new MNoeud(&other, nullptr));
  EXPECT_THROW(graph.creer_arc(a, foreign, nullptr), InternalError);
}
