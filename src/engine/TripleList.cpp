#include "engine/TripleList.h"

#include "engine/ZEP_Entite.h"
#include "foundation/Errors.h"

namespace tessel {

struct TripleList::Heap {
  std::vector<MTruc*> slots;
  std::uint32_t holes = 0;
};

TripleList::~TripleList() {
  if (isHeap()) delete heap();
}

int TripleList::count() const {
  if (bits_ == 0) return 0;
  if (!isHeap()) return 1;
  return static_cast<int>(heap()->slots.size() - heap()->holes);
}

int TripleList::rawSize() const {
  if (bits_ == 0) return 0;
  if (!isHeap()) return 1;
  return static_cast<int>(heap()->slots.size());
}

MTruc* TripleList::raw(int index) const {
  if (!isHeap()) return index == 0 ? single() : nullptr;
  return heap()->slots[static_cast<std::size_t>(index)];
}

void TripleList::compact(Role role) const {
  if (!isHeap() || heap()->holes == 0) return;
  auto& slots = heap()->slots;
  std::size_t out = 0;
  for (MTruc* t : slots) {
    if (!t) continue;
    t->setPosition(role, static_cast<std::uint32_t>(out));
    slots[out++] = t;
  }
  slots.resize(out);
  heap()->holes = 0;
}

MTruc* TripleList::at(int index, Role role) const {
  if (index < 0 || index >= count()) throw ListIndexError(index);
  if (!isHeap()) return single();
  compact(role);
  return heap()->slots[static_cast<std::size_t>(index)];
}

MTruc* TripleList::last() const {
  if (bits_ == 0) return nullptr;
  if (!isHeap()) return single();
  return heap()->slots.empty() ? nullptr : heap()->slots.back();
}

bool TripleList::holds(const MTruc* t, Role role) const {
  if (bits_ == 0) return false;
  if (!isHeap()) return single() == t;
  const std::uint32_t p = t->position(role);
  const auto& slots = heap()->slots;
  return p < slots.size() && slots[p] == t;
}

void TripleList::append(MTruc* t, Role role) {
  if (bits_ == 0) {
    t->setPosition(role, 0);
    bits_ = reinterpret_cast<std::uintptr_t>(t);
    return;
  }
  if (!isHeap()) {
    auto* h = new Heap;
    h->slots.reserve(4);
    h->slots.push_back(single());
    bits_ = reinterpret_cast<std::uintptr_t>(h) | 1u;
  }
  Heap* h = heap();
  t->setPosition(role, static_cast<std::uint32_t>(h->slots.size()));
  h->slots.push_back(t);
}

bool TripleList::remove(MTruc* t, Role role) {
  if (!holds(t, role)) return false;
  if (!isHeap()) {
    bits_ = 0;
    return true;
  }
  Heap* h = heap();
  auto& slots = h->slots;
  slots[t->position(role)] = nullptr;
  ++h->holes;
  while (!slots.empty() && slots.back() == nullptr) {
    slots.pop_back();
    --h->holes;
  }
  if (slots.empty()) {
    delete h;
    bits_ = 0;
  } else if (h->holes > 16 && h->holes * 2 > slots.size()) {
    compact(role);
    if (slots.capacity() > 4 * slots.size()) slots.shrink_to_fit();
  }
  return true;
}

void TripleList::clear() {
  if (isHeap()) delete heap();
  bits_ = 0;
}

std::size_t TripleList::memoryBytes() const {
  if (!isHeap()) return 0;
  return sizeof(Heap) + heap()->slots.capacity() * sizeof(MTruc*);
}

} // namespace tessel
