#pragma once
// The taxonomy nodes an editor shows for its object (a comment's themes, a
// resource's categories), kept from showing to saving: the user replaces them
// in the selection window, saving stores them in the object's list.

#include "ui/Cadre_OAOR.h"

#include <QString>

#include <string>
#include <vector>

class QPainter;
class QRect;

namespace tessel {

class MLISTE_Object_OCS;

class LinkedNodeList {
public:
  struct Node {
    std::string name;
    WatchedObject object;
  };

  const std::vector<Node>& nodes() const { return nodes_; }
  int count() const { return int(nodes_.size()); }
  void clear() { nodes_.clear(); }
  // The loaded nodes of `links`, in order, each with its name.
  void load(const MLISTE_Object_OCS& links);
  // The names from the last to the first, one per line.
  QString hint() const;
  // Runs the selection window just right of `editorWindow`, with its top and
  // height, on the loaded objects of `taxonomy`, these nodes as the choice
  // and `title` over the list. On OK the chosen list, walked from its last
  // item to its first, replaces the nodes; answers whether it did.
  bool choose(const QWidget& editorWindow, const ClassRef& taxonomy, const QString& title);
  // The loaded nodes of `links` replaced by these, in order. Links to nodes
  // that are not loaded were never shown, so the user could not have removed
  // them: they stay. Left with no link, the object gets the first loaded
  // object of `taxonomy`, when there is one.
  void store(MLISTE_Object_OCS& links, const ClassRef* taxonomy) const;
  // The nodes' pictures in one row, from the right edge of `rect` leftwards.
  void paint(QPainter& painter, const QRect& rect) const;

private:
  std::vector<Node> nodes_;
};

} // namespace tessel
