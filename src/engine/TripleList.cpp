#include "engine/TripleList.h"

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_Entite.h"
#include "foundation/Errors.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tessel {

namespace {

constexpr int holesShift = 48;
constexpr std::uintptr_t maxHoles = 0xFFFF;

// A slot holds a triple's address (even) or a tombstone: the sequence number
// of the triple that left it, shifted, with the low bit set.
bool isTombstone(std::uintptr_t slot) { return (slot & 1u) != 0; }

std::uintptr_t tombstoneOf(const MTruc* t) { return static_cast<std::uintptr_t>(t->sequence() << 1) | 1u; }

std::uint64_t sequenceOf(std::uintptr_t slot) {
  return isTombstone(slot) ? slot >> 1 : reinterpret_cast<const MTruc*>(slot)->sequence();
}

} // namespace

// A header and its slots in one block; big lists grow by remapping their
// pages rather than copying them (pool::resizeBlock). The count of holes
// lives in the list word's top bits.
struct TripleList::Heap {
  std::uint32_t size;
  std::uint32_t capacity : 31;
  std::uint32_t carved : 1; // taken from a Room: never freed nor reallocated

  std::uintptr_t* slots() { return reinterpret_cast<std::uintptr_t*>(this + 1); }

  static std::size_t bytes(std::size_t capacity) { return sizeof(Heap) + capacity * sizeof(std::uintptr_t); }

  static Heap* grow(Heap* h, std::size_t capacity) {
    if (h && h->carved) {
      Heap* own = grow(nullptr, capacity);
      own->size = h->size;
      std::memcpy(own->slots(), h->slots(), h->size * sizeof(std::uintptr_t));
      return own;
    }
    auto* grown = static_cast<Heap*>(pool::resizeBlock(h, h ? bytes(h->capacity) : 0, bytes(capacity)));
    if (!h) *grown = Heap{0, 0, 0};
    grown->capacity = static_cast<std::uint32_t>(capacity) & 0x7FFFFFFFu;
    return grown;
  }

  static void release(Heap* h) {
    if (!h->carved) pool::releaseBlock(h, bytes(h->capacity));
  }

  static Heap* carve(Room& room, std::size_t capacity) {
    auto* h = reinterpret_cast<Heap*>(room.next);
    room.next += bytes(capacity);
    *h = Heap{0, static_cast<std::uint32_t>(capacity) & 0x7FFFFFFFu, 1};
    return h;
  }
};

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
  const std::uintptr_t slot = heap()->slots()[index];
  return isTombstone(slot) ? nullptr : reinterpret_cast<MTruc*>(slot);
}

void TripleList::compact() const {
  if (!isHeap() || holes() == 0) return;
  Heap* h = heap();
  std::uintptr_t* slots = h->slots();
  std::uint32_t out = 0;
  for (std::uint32_t i = 0; i < h->size; ++i)
    if (!isTombstone(slots[i])) slots[out++] = slots[i];
  h->size = out;
  setHeap(h, 0);
}

MTruc* TripleList::at(int index) const {
  if (index < 0 || index >= count()) throw ListIndexError(index);
  if (!isHeap()) return single();
  compact();
  return reinterpret_cast<MTruc*>(heap()->slots()[index]);
}

MTruc* TripleList::last() const {
  if (bits_ == 0) return nullptr;
  if (!isHeap()) return single();
  // The last slot is never a tombstone.
  return heap()->size ? reinterpret_cast<MTruc*>(heap()->slots()[heap()->size - 1]) : nullptr;
}

long TripleList::slotOf(const MTruc* t) const {
  const Heap* h = heap();
  const std::uintptr_t* slots = const_cast<Heap*>(h)->slots();
  const auto wanted = reinterpret_cast<std::uintptr_t>(t);
  // The newest triple, the usual one to go, is checked first.
  if (h->size > 0 && slots[h->size - 1] == wanted) return static_cast<long>(h->size) - 1;
  const std::uint64_t key = t->sequence();
  std::uint32_t low = 0, high = h->size;
  // The numbers of a long list are spread fairly evenly: a place guessed
  // from them usually lands at or next to the triple. Bisection finishes.
  for (int guess = 0; guess < 3 && high - low > 16; ++guess) {
    const std::uint64_t first = sequenceOf(slots[low]), last = sequenceOf(slots[high - 1]);
    if (key < first || key > last) return -1;
    const auto at = low + static_cast<std::uint32_t>(static_cast<double>(key - first) /
                                                     static_cast<double>(last - first) * (high - 1 - low));
    const std::uint64_t found = sequenceOf(slots[at]);
    if (found == key) return slots[at] == wanted ? static_cast<long>(at) : -1;
    if (found < key)
      low = at + 1;
    else
      high = at;
  }
  while (low < high) {
    const std::uint32_t mid = low + (high - low) / 2;
    if (sequenceOf(slots[mid]) < key)
      low = mid + 1;
    else
      high = mid;
  }
  return low < h->size && slots[low] == wanted ? static_cast<long>(low) : -1;
}

bool TripleList::holds(const MTruc* t) const {
  if (bits_ == 0) return false;
  if (!isHeap()) return single() == t;
  return slotOf(t) >= 0;
}

std::size_t TripleList::roomFor(std::size_t more) const {
  const std::size_t wanted = static_cast<std::size_t>(rawSize()) + more;
  if (wanted < 2 || more == 0 || (isHeap() && heap()->capacity >= wanted)) return 0;
  return Heap::bytes(wanted);
}

void TripleList::reserve(std::size_t more, Room* room) {
  const std::size_t bytes = roomFor(more);
  if (bytes == 0) return;
  const std::size_t wanted = static_cast<std::size_t>(rawSize()) + more;
  MTruc* first = isHeap() ? nullptr : single();
  const std::uint32_t keptHoles = isHeap() ? holes() : 0;
  Heap* h = nullptr;
  if (room && static_cast<std::size_t>(room->end - room->next) >= bytes) {
    h = Heap::carve(*room, wanted);
    if (isHeap()) {
      Heap* old = heap();
      h->size = old->size;
      std::memcpy(h->slots(), old->slots(), old->size * sizeof(std::uintptr_t));
      Heap::release(old);
    }
  } else {
    h = Heap::grow(isHeap() ? heap() : nullptr, wanted);
  }
  if (first) h->slots()[h->size++] = reinterpret_cast<std::uintptr_t>(first);
  setHeap(h, keptHoles);
}

void TripleList::releaseIfEmpty() {
  if (isHeap() && heap()->size == 0) clear();
}

void TripleList::append(MTruc* t) {
  if (bits_ == 0) {
    bits_ = reinterpret_cast<std::uintptr_t>(t);
    return;
  }
  if (!isHeap()) {
    Heap* h = Heap::grow(nullptr, 4);
    h->slots()[h->size++] = reinterpret_cast<std::uintptr_t>(single());
    setHeap(h, 0);
  }
  Heap* h = heap();
  if (h->size == h->capacity) {
    // Half as much again: big lists (remapped, not copied) waste less.
    h = Heap::grow(h, h->size + h->size / 2);
    setHeap(h, holes());
  }
  h->slots()[h->size++] = reinterpret_cast<std::uintptr_t>(t);
}

bool TripleList::remove(MTruc* t) {
  if (bits_ == 0) return false;
  if (!isHeap()) {
    if (single() != t) return false;
    bits_ = 0;
    return true;
  }
  const long at = slotOf(t);
  if (at < 0) return false;
  Heap* h = heap();
  std::uintptr_t* slots = h->slots();
  slots[at] = tombstoneOf(t);
  std::uint32_t holeCount = holes() + 1;
  while (h->size > 0 && isTombstone(slots[h->size - 1])) {
    --h->size;
    --holeCount;
  }
  setHeap(h, holeCount);
  if (h->size == 0) {
    clear();
  } else if ((holeCount > 16 && holeCount * 2 > h->size) || holeCount == maxHoles) {
    compact();
    if (h->size > 32 && h->capacity > 4 * h->size) {
      h = Heap::grow(h, h->size * 2);
      setHeap(h, 0);
    }
  }
  return true;
}

MTruc* TripleList::findSequence(std::uint64_t sequence) const {
  if (bits_ == 0) return nullptr;
  if (!isHeap()) return single()->sequence() == sequence ? single() : nullptr;
  // Tombstones keep their numbers: the slots bisect as they are.
  const std::uintptr_t* first = heap()->slots();
  const std::uintptr_t* last = first + heap()->size;
  const std::uintptr_t* at =
      std::lower_bound(first, last, sequence, [](std::uintptr_t slot, std::uint64_t s) { return sequenceOf(slot) < s; });
  return at != last && !isTombstone(*at) && sequenceOf(*at) == sequence ? reinterpret_cast<MTruc*>(*at) : nullptr;
}

int TripleList::lowerBound(std::uint64_t sequence) const {
  if (bits_ == 0) return 0;
  if (!isHeap()) return single()->sequence() >= sequence ? 0 : 1;
  const std::uintptr_t* first = heap()->slots();
  const std::uintptr_t* last = first + heap()->size;
  return static_cast<int>(
      std::lower_bound(first, last, sequence, [](std::uintptr_t slot, std::uint64_t s) { return sequenceOf(slot) < s; }) -
      first);
}

void TripleList::insertSorted(MTruc* const* items, std::size_t n) {
  if (n == 0) return;
  // Most often the triples go after every other one.
  if (const MTruc* tail = last(); !tail || tail->sequence() < items[0]->sequence()) {
    for (std::size_t i = 0; i < n; ++i) append(items[i]);
    return;
  }
  compact();
  reserve(std::max<std::size_t>(n, 2));
  // Merged from the back, in place.
  Heap* h = heap();
  std::uintptr_t* slots = h->slots();
  std::size_t kept = h->size, added = n, out = h->size + n;
  while (added > 0) {
    if (kept > 0 && sequenceOf(slots[kept - 1]) > items[added - 1]->sequence())
      slots[--out] = slots[--kept];
    else
      slots[--out] = reinterpret_cast<std::uintptr_t>(items[--added]);
  }
  h->size += static_cast<std::uint32_t>(n);
}

void TripleList::clear() {
  if (isHeap()) Heap::release(heap());
  bits_ = 0;
}

} // namespace tessel
