#include "engine/ZEP_graph.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/UserPrompts.h"

#include <new>

namespace tessel {

// ---------------------------------------------------------------- MNoeud

MNoeud::~MNoeud() {
  while (!in_.empty()) delete in_.Last();
  while (!out_.empty()) delete out_.Last();
  if (graph_) graph_->nodes_.Remove(this);
}

void MNoeud::checkDegrees() const {
  if (outDegree_ != out_.Count() || inDegree_ != in_.Count())
    throw InternalError("graphe : degré d'un noeud incohérent avec ses arcs"_w);
}

MNoeud* MNoeud::destination(int i) const { return arc_sortant(i)->destination(); }

MNoeud* MNoeud::autre_bout(const Warc* arc) const {
  return arc->origine() == this ? arc->destination() : arc->origine();
}

Warc* MNoeud::arc_vers(const MNoeud* node) const {
  checkDegrees();
  for (int i = out_.Count() - 1; i >= 0; --i)
    if (out_.Item(i)->destination() == node) return out_.Item(i);
  return nullptr;
}

// ---------------------------------------------------------------- Warc

Warc::Warc(MGraph* graph, Mlettre* letter, MNoeud* origin, MNoeud* destination)
    : WObj_graphe(graph, letter), origin_(origin), destination_(destination) {}

Warc::~Warc() {
  if (origin_->out_.Remove(this) >= 0) --origin_->outDegree_;
  if (destination_->in_.Remove(this) >= 0) --destination_->inDegree_;
  if (graph_) graph_->arcs_.Remove(this);
}

// ---------------------------------------------------------------- MGraph

MGraph::~MGraph() {
  while (!nodes_.empty()) delete nodes_.Last();
}

MNoeud* MGraph::ajouter_noeud(MNoeud* node) {
  try {
    node->graph_ = this;
    nodes_.Add(node);
  } catch (const std::bad_alloc&) {
    prompts().message(MessageKind::Information, " Exception memory");
  }
  return node;
}

Warc* MGraph::creer_arc(MNoeud* origin, MNoeud* destination, Mlettre* letter) {
  if (origin->graphe() != this || destination->graphe() != this)
    throw InternalError("graphe : arc entre des noeuds de deux graphes");
  if (Warc* existing = origin->arc_vers(destination)) return existing;
  auto* arc = new Warc(this, letter, origin, destination);
  arcs_.Add(arc);
  origin->out_.Add(arc);
  ++origin->outDegree_;
  destination->in_.Add(arc);
  ++destination->inDegree_;
  return arc;
}

} // namespace tessel
