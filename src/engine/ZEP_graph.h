#pragma once
// A general directed graph of nodes and arcs, each possibly labelled with a
// letter. The graph owns its nodes; a node owns the arcs that touch it.

#include "engine/ZEP_Lettre.h"
#include "foundation/ZEP_Liste.h"

namespace tessel {

class MGraph;
class MNoeud;
class Warc;

class WObj_graphe {
public:
  WObj_graphe(MGraph* graph, Mlettre* letter) : graph_(graph), letter_(letter) {}
  virtual ~WObj_graphe() = default;
  MGraph* graphe() const { return graph_; }
  Mlettre* lettre() const { return letter_; }

protected:
  friend class MGraph;
  MGraph* graph_;
  Mlettre* letter_; // not owned
};

class MNoeud : public WObj_graphe {
public:
  MNoeud(MGraph* graph, Mlettre* letter) : WObj_graphe(graph, letter) {}
  // Destroys its arcs (incoming, then outgoing) and leaves its graph.
  ~MNoeud() override;

  virtual void ecrire(MemoryStream&) const {}
  virtual void lire(MemoryStream&) {}

  int degre_sortant() const { return outDegree_; }
  int degre_entrant() const { return inDegree_; }
  Warc* arc_sortant(int i) const { return out_.Item(i); }
  MNoeud* destination(int i) const;
  // The other end of an arc touching this node.
  MNoeud* autre_bout(const Warc* arc) const;
  // The outgoing arc leading to `node`, searching from the last; null if none.
  Warc* arc_vers(const MNoeud* node) const;

private:
  friend class Warc;
  friend class MGraph;
  void checkDegrees() const;

  int outDegree_ = 0;
  int inDegree_ = 0;
  MListe<Warc> out_;
  MListe<Warc> in_;
};

class Warc : public WObj_graphe {
public:
  Warc(MGraph* graph, Mlettre* letter, MNoeud* origin, MNoeud* destination);
  ~Warc() override;
  MNoeud* origine() const { return origin_; }
  MNoeud* destination() const { return destination_; }

private:
  MNoeud* origin_;
  MNoeud* destination_;
};

class MGraph {
public:
  MGraph() = default;
  virtual ~MGraph();
  MGraph(const MGraph&) = delete;
  MGraph& operator=(const MGraph&) = delete;

  // Takes ownership of `node`.
  MNoeud* ajouter_noeud(MNoeud* node);
  virtual Warc* creer_arc(MNoeud* origin, MNoeud* destination, Mlettre* letter);

  const MListe<MNoeud>& noeuds() const { return nodes_; }
  const MListe<Warc>& arcs() const { return arcs_; }

private:
  friend class MNoeud;
  friend class Warc;
  MListe<MNoeud> nodes_;
  MListe<Warc> arcs_;
};

} // namespace tessel
