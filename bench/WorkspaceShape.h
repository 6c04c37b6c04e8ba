#pragma once
// Generated knowledge bases shaped like real workspaces: objects with a root
// mark, a class, an identifier, dates, references and list attributes.

#include "engine/ZEP_BDC.h"

#include <cstddef>
#include <vector>

namespace tessel::bench {

struct ShapedBase {
  std::vector<EntityRef> activities;
  std::vector<EntityRef> entries;
  std::size_t triples = 0;
};

// Fills the current base with about `triples` triples.
ShapedBase buildShapedBase(MBC& base, std::size_t triples);

// Memory the process uses for data, in bytes: the heap in use, with the
// engine's pools counted by what they hand out rather than what they hold.
std::size_t heapInUse();

} // namespace tessel::bench
