#pragma once
// A tree of letters on top of the graph: words inserted letter by letter
// share their common prefixes. How letters match, what happens when an
// inserted letter meets an existing one and where a word ends are supplied
// by the user of the tree (the lexical analyser).

#include "engine/ZEP_graph.h"

#include <functional>
#include <memory>
#include <vector>

namespace tessel {

class MNoeud_arbre : public MNoeud {
public:
  MNoeud_arbre(MGraph* graph, Mlettre* letter) : MNoeud(graph, letter) {}

  bool ferme() const { return closed_; }
  void setFerme(bool closed) { closed_ = closed; }

  // Children are the destinations of the outgoing arcs, in arc order.
  int nb_enfants() const { return degre_sortant(); }
  MNoeud_arbre* enfant(int i) const { return static_cast<MNoeud_arbre*>(destination(i)); }

private:
  bool closed_ = false; // a hand-built part of the automaton: never entered by insertion
};

class MArbre : public MGraph {
public:
  using Correspondance = std::function<bool(const Mlettre* tree, const Mlettre* inserted)>;
  using NoeudFinal = std::function<MNoeud_arbre*()>;
  using SurCorrespondance = std::function<void(Mlettre* tree, const Mlettre* inserted)>;

  MArbre();

  MNoeud_arbre* racine() const { return root_; }
  // A new node of this tree (the tree owns it).
  MNoeud_arbre* nouveau_noeud(Mlettre* letter);
  MNoeud_arbre* nouvel_enfant(MNoeud_arbre* parent, Mlettre* letter);
  // Letters used by this tree's nodes are owned by the tree.
  Mlettre* nouvelle_lettre(std::uint8_t c, MEntite* entry = nullptr);
  Mensemble_lettre* nouvel_ensemble(std::string_view name, MEntite* entry = nullptr);

  // Inserts the letters from the root; answers the node reached at the end.
  MNoeud_arbre* inserer_mot(const std::vector<Mlettre*>& letters);
  // The same from any node (delimiter chains go on under their first letter).
  MNoeud_arbre* inserer(MNoeud_arbre* node, const std::vector<Mlettre*>& letters, std::size_t depth);

  bool lien_final() const { return endLink_; }
  void setLienFinal(bool on) { endLink_ = on; }
  void setCorrespondance(Correspondance f) { match_ = std::move(f); }
  void setNoeudFinal(NoeudFinal f) { endNode_ = std::move(f); }
  void setSurCorrespondance(SurCorrespondance f) { onMatch_ = std::move(f); }

protected:
  virtual MNoeud_arbre* creer_noeud(Mlettre* letter) { return new MNoeud_arbre(this, letter); }
  // Construction of the root: subclasses call it once their node factory is ready.
  void creerRacine();

private:
  MNoeud_arbre* prolonger(MNoeud_arbre* node, const std::vector<Mlettre*>& letters, std::size_t depth);
  MNoeud_arbre* finir(MNoeud_arbre* node);

  MNoeud_arbre* root_ = nullptr;
  bool endLink_ = true;
  Correspondance match_;
  NoeudFinal endNode_;
  SurCorrespondance onMatch_;
  std::vector<std::unique_ptr<Mlettre>> letters_;
};

} // namespace tessel
