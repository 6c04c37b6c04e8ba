#include "engine/TripleList.h"

#include "engine/ZEP_Entite.h"
#include "foundation/Errors.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tessel {

// A header and its slots in one block, grown with realloc (which moves big
// lists by remapping pages rather than copying them). The count of holes
// lives in the list word's top bits.
struct TripleList::Heap {
  std::uint32_t size;
  std::uint32_t capacity;

  MTruc** items() { return reinterpret_cast<MTruc**>(this + 1); }

  static Heap* grow(Heap* h, std::size_t capacity) {
    void* block = std::realloc(h, sizeof(Heap) + capacity * sizeof(MTruc*));
    if (!block) throw std::bad_alloc();
    auto* grown = static_cast<Heap*>(block);
    if (!h) *grown = Heap{0, 0};
    grown->capacity = static_cast<std::uint32_t>(capacity);
    return grown;
  }
};

namespace {
constexpr int holesShift = 48;
constexpr std::uintptr_t maxHoles = 0xFFFF;
} // namespace

std::uint32_t TripleList::holes() const { return static_cast<std::uint32_t>(bits_ >> holesShift); }

void TripleList::setHeap(Heap* h, std::uint32_t holes) const {
  bits_ = reinterpret_cast<std::uintptr_t>(h) | 1u | (std::uintptr_t(holes) << holesShift);
}

TripleList::~TripleList() { clear(); }

int TripleList::count() const {
  if (bits_ == 0) return 0;
  if (!isHeap()) return 1;
  return static_cast<int>(heap()->size - holes());
}

int TripleList::rawSize() const {
  if (bits_ == 0) return 0;
  if (!isHeap()) return 1;
  return static_cast<int>(heap()->size);
}

MTruc* TripleList::raw(int index) const {
  if (!isHeap()) return index == 0 ? single() : nullptr;
  return heap()->items()[index];
}

void TripleList::compact(Role role) const {
  if (!isHeap() || holes() == 0) return;
  Heap* h = heap();
  MTruc** slots = h->items();
  std::uint32_t out = 0;
  for (std::uint32_t i = 0; i < h->size; ++i) {
    MTruc* t = slots[i];
    if (!t) continue;
    t->setPosition(role, out);
    slots[out++] = t;
  }
  h->size = out;
  setHeap(h, 0);
}

MTruc* TripleList::at(int index, Role role) const {
  if (index < 0 || index >= count()) throw ListIndexError(index);
  if (!isHeap()) return single();
  compact(role);
  return heap()->items()[index];
}

MTruc* TripleList::last() const {
  if (bits_ == 0) return nullptr;
  if (!isHeap()) return single();
  return heap()->size ? heap()->items()[heap()->size - 1] : nullptr;
}

bool TripleList::holds(const MTruc* t, Role role) const {
  if (bits_ == 0) return false;
  if (!isHeap()) return single() == t;
  const std::uint32_t p = t->position(role);
  return p < heap()->size && heap()->items()[p] == t;
}

void TripleList::reserve(std::size_t more, Role role) {
  (void)role;
  if (more < 2) return;
  const std::size_t wanted = static_cast<std::size_t>(rawSize()) + more;
  if (isHeap() && heap()->capacity >= wanted) return;
  MTruc* first = isHeap() ? nullptr : single();
  const std::uint32_t keptHoles = isHeap() ? holes() : 0;
  Heap* h = Heap::grow(isHeap() ? heap() : nullptr, wanted);
  if (first) h->items()[h->size++] = first;
  setHeap(h, keptHoles);
}

void TripleList::append(MTruc* t, Role role) {
  if (bits_ == 0) {
    t->setPosition(role, 0);
    bits_ = reinterpret_cast<std::uintptr_t>(t);
    return;
  }
  if (!isHeap()) {
    Heap* h = Heap::grow(nullptr, 4);
    h->items()[h->size++] = single();
    setHeap(h, 0);
  }
  Heap* h = heap();
  if (h->size == h->capacity) {
    // Half as much again: big lists (remapped by realloc) waste less.
    h = Heap::grow(h, h->size + h->size / 2);
    setHeap(h, holes());
  }
  t->setPosition(role, h->size);
  h->items()[h->size++] = t;
}

bool TripleList::remove(MTruc* t, Role role) {
  if (!holds(t, role)) return false;
  if (!isHeap()) {
    bits_ = 0;
    return true;
  }
  Heap* h = heap();
  MTruc** slots = h->items();
  slots[t->position(role)] = nullptr;
  std::uint32_t holeCount = holes() + 1;
  while (h->size > 0 && slots[h->size - 1] == nullptr) {
    --h->size;
    --holeCount;
  }
  setHeap(h, holeCount);
  if (h->size == 0) {
    clear();
  } else if ((holeCount > 16 && holeCount * 2 > h->size) || holeCount == maxHoles) {
    compact(role);
    if (h->size > 32 && h->capacity > 4 * h->size) {
      h = Heap::grow(h, h->size * 2);
      setHeap(h, 0);
    }
  }
  return true;
}

MTruc* TripleList::findSequence(std::uint64_t sequence, Role role) const {
  if (bits_ == 0) return nullptr;
  if (!isHeap()) return single()->sequence() == sequence ? single() : nullptr;
  compact(role);
  MTruc** first = heap()->items();
  MTruc** last = first + heap()->size;
  MTruc** at =
      std::lower_bound(first, last, sequence, [](const MTruc* t, std::uint64_t s) { return t->sequence() < s; });
  return at != last && (*at)->sequence() == sequence ? *at : nullptr;
}

void TripleList::insertSorted(MTruc* const* items, std::size_t n, Role role) {
  if (n == 0) return;
  // Most often the triples go after every other one.
  if (const MTruc* tail = last(); !tail || tail->sequence() < items[0]->sequence()) {
    for (std::size_t i = 0; i < n; ++i) append(items[i], role);
    return;
  }
  compact(role);
  reserve(std::max<std::size_t>(n, 2), role);
  // Merged from the back, in place.
  Heap* h = heap();
  MTruc** slots = h->items();
  std::size_t kept = h->size, added = n, out = h->size + n;
  while (added > 0) {
    MTruc* t;
    if (kept > 0 && slots[kept - 1]->sequence() > items[added - 1]->sequence())
      t = slots[--kept];
    else
      t = items[--added];
    slots[--out] = t;
    t->setPosition(role, static_cast<std::uint32_t>(out));
  }
  h->size += static_cast<std::uint32_t>(n);
}

void TripleList::clear() {
  if (isHeap()) std::free(heap());
  bits_ = 0;
}

} // namespace tessel
