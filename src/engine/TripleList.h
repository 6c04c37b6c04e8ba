#pragma once
// The ordered lists of triples an entity (or an owner) keeps. A triple is
// linked into its lists when it is made, so every list is in the order of the
// triples' sequence numbers: a triple is found in a list by bisection and
// needs to remember no position of its own. A removed triple leaves in its
// slot a tombstone that keeps its sequence number, so the list can still be
// bisected; trailing tombstones are dropped at once and the others are
// squeezed out lazily, before positional access needs them gone.
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
  // Memory that lists filled together take their room from, in order; its
  // owner keeps it as long as any list may use it. A list never frees such
  // room: when it must grow, it moves to an allocation of its own.
  struct Room {
    char* next = nullptr;
    char* end = nullptr;
  };

  TripleList() = default;
  ~TripleList();
  TripleList(const TripleList&) = delete;
  TripleList& operator=(const TripleList&) = delete;

  int count() const;
  bool empty() const { return bits_ == 0; }
  // i-th live triple; ListIndexError outside 0..count-1.
  MTruc* at(int index) const;
  // Last live triple, or null.
  MTruc* last() const;
  // Whether `t` is in this list.
  bool holds(const MTruc* t) const;

  // `t` must be newer than every triple the list holds.
  void append(MTruc* t);
  // Room for `more` appends without growing, taken from `room` when given
  // and large enough.
  void reserve(std::size_t more, Room* room = nullptr);
  // The bytes reserve (more, room) takes from the room.
  std::size_t roomFor(std::size_t more) const;
  // Lets go of room reserved and not used.
  void releaseIfEmpty();
  // Removes `t` when it is in this list; answers whether it was.
  bool remove(MTruc* t);
  // Forgets every entry without touching the triples.
  void clear();

  // Lists hold their triples in ascending sequence order (the order they
  // were linked in); these keep to it.
  // The live triple of that sequence number, or null.
  MTruc* findSequence(std::uint64_t sequence) const;
  // The raw index of the first slot numbered `sequence` or more (rawSize() when none).
  int lowerBound(std::uint64_t sequence) const;
  // Links triples (ascending by sequence, none already here) each at its place.
  void insertSorted(MTruc* const* items, std::size_t n);

  // Raw slots, holes included (null), for cursors that must see appends
  // made while they walk. compact() first for positions to be stable.
  int rawSize() const;
  MTruc* raw(int index) const;
  void compact() const;

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
  // The slot holding `t` in the heap, or -1.
  long slotOf(const MTruc* t) const;

  mutable std::uintptr_t bits_ = 0;
};

} // namespace tessel
