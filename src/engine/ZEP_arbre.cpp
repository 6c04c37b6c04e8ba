#include "engine/ZEP_arbre.h"

namespace tessel {

MArbre::MArbre() {
  match_ = [](const Mlettre* a, const Mlettre* b) { return a && b && a->lettre() == b->lettre(); };
  creerRacine();
}

void MArbre::creerRacine() {
  if (root_) return;
  root_ = static_cast<MNoeud_arbre*>(ajouter_noeud(creer_noeud(nullptr)));
}

MNoeud_arbre* MArbre::nouveau_noeud(Mlettre* letter) {
  return static_cast<MNoeud_arbre*>(ajouter_noeud(creer_noeud(letter)));
}

MNoeud_arbre* MArbre::nouvel_enfant(MNoeud_arbre* parent, Mlettre* letter) {
  MNoeud_arbre* child = nouveau_noeud(letter);
  creer_arc(parent, child, nullptr);
  return child;
}

Mlettre* MArbre::nouvelle_lettre(std::uint8_t c, MEntite* entry) {
  letters_.push_back(std::make_unique<Mlettre>(c, entry));
  return letters_.back().get();
}

Mensemble_lettre* MArbre::nouvel_ensemble(std::string_view name, MEntite* entry) {
  auto set = std::make_unique<Mensemble_lettre>(name, entry);
  Mensemble_lettre* raw = set.get();
  letters_.push_back(std::move(set));
  return raw;
}

MNoeud_arbre* MArbre::inserer_mot(const std::vector<Mlettre*>& letters) { return inserer(root_, letters, 0); }

MNoeud_arbre* MArbre::inserer(MNoeud_arbre* node, const std::vector<Mlettre*>& letters, std::size_t depth) {
  // Iterative: a long word must not deepen the call stack.
  while (depth < letters.size()) {
    MNoeud_arbre* next = nullptr;
    for (int i = node->nb_enfants() - 1; i >= 0 && !next; --i) {
      MNoeud_arbre* child = node->enfant(i);
      if (!child->ferme() && match_(child->lettre(), letters[depth])) next = child;
    }
    if (!next) return prolonger(node, letters, depth);
    if (onMatch_) onMatch_(next->lettre(), letters[depth]);
    node = next;
    ++depth;
  }
  return finir(node);
}

MNoeud_arbre* MArbre::prolonger(MNoeud_arbre* node, const std::vector<Mlettre*>& letters, std::size_t depth) {
  for (; depth < letters.size(); ++depth) node = nouvel_enfant(node, letters[depth]);
  return finir(node);
}

MNoeud_arbre* MArbre::finir(MNoeud_arbre* node) {
  if (!endLink_ || !endNode_) return node;
  MNoeud_arbre* end = endNode_();
  if (!end) return node;
  creer_arc(node, end, nullptr);
  return end;
}

} // namespace tessel
