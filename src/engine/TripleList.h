#pragma once
// The ordered lists of triples an entity (or an owner) keeps. Each triple
// remembers its position in every list it belongs to, so removal is O(1):
// the slot becomes a hole, trailing holes are dropped at once and the others
// are squeezed out lazily, before positional access needs them gone.
//
// Most entities are in few triples per role, so a list holding a single
// triple stores it inline (one word); longer lists move to the heap.

#include <cstddef>
#include <cstdint>

namespace tessel {

class MTruc;

enum Role : std::uint8_t { RoleSubject = 0, RoleRelation = 1, RoleValue = 2, RoleOwner = 3 };

class TripleList {
public:
  TripleList() = default;
  ~TripleList();
  TripleList(const TripleList&) = delete;
  TripleList& operator=(const TripleList&) = delete;

  int count() const;
  bool empty() const { return bits_ == 0; }
  // i-th live triple; ListIndexError outside 0..count-1.
  MTruc* at(int index, Role role) const;
  // Last live triple, or null.
  MTruc* last() const;
  // Whether `t` is in this list (t's position for this role is checked).
  bool holds(const MTruc* t, Role role) const;

  void append(MTruc* t, Role role);
  // Room for `more` appends without growing.
  void reserve(std::size_t more, Role role);
  // Removes `t` when it is in this list; answers whether it was.
  bool remove(MTruc* t, Role role);
  // Forgets every entry without touching the triples.
  void clear();

  // Lists hold their triples in ascending sequence order (the order they
  // were linked in); these keep to it.
  // The live triple of that sequence number, or null.
  MTruc* findSequence(std::uint64_t sequence, Role role) const;
  // Links triples (ascending by sequence, none already here) each at its place.
  void insertSorted(MTruc* const* items, std::size_t n, Role role);

  // Raw slots, holes included (null), for cursors that must see appends
  // made while they walk. compact() first for positions to be stable.
  int rawSize() const;
  MTruc* raw(int index) const;
  void compact(Role role) const;

  template <class F>
  void forEach(F&& f) const {
    const int n = rawSize();
    for (int i = 0; i < n; ++i)
      if (MTruc* t = raw(i)) f(t);
  }


private:
  struct Heap;
  bool isHeap() const { return (bits_ & 1u) != 0; }
  Heap* heap() const { return reinterpret_cast<Heap*>(bits_ & ((std::uintptr_t(1) << 48) - 2)); }
  std::uint32_t holes() const;
  void setHeap(Heap* h, std::uint32_t holes) const;
  MTruc* single() const { return reinterpret_cast<MTruc*>(bits_); }

  mutable std::uintptr_t bits_ = 0;
};

} // namespace tessel
