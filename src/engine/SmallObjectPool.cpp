#include "engine/SmallObjectPool.h"

#include "engine/Prefetch.h"

#include <sys/mman.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace tessel::pool {

namespace {

constexpr std::size_t granule = 8;
// Slabs grow from 64 KiB to 2 MiB; the big ones are offered to the kernel as
// huge pages, which spares a page fault per 4 KiB on a big base.
constexpr std::size_t firstSlabBytes = 64 * 1024;
constexpr std::size_t hugeSlabBytes = 2 * 1024 * 1024;

struct FreeSlab {
  void operator()(void* p) const { std::free(p); }
};
using Slab = std::unique_ptr<void, FreeSlab>;

struct SizeClass {
  struct FreeBlock {
    FreeBlock* next;
  };
  std::size_t blockSize = 0;
  FreeBlock* free = nullptr;
  unsigned char* bump = nullptr; // fresh blocks of the newest slab
  unsigned char* bumpEnd = nullptr;
  std::size_t nextSlabBytes = firstSlabBytes;
  std::vector<Slab> slabs;

  void* allocate() {
    if (free) {
      FreeBlock* b = free;
      free = b->next;
      if (free) prefetchLine(free); // the next allocation reads it
      inUse += blockSize;
      return b;
    }
    if (bump == bumpEnd) {
      const std::size_t bytes = nextSlabBytes;
      void* memory = bytes == hugeSlabBytes ? std::aligned_alloc(hugeSlabBytes, bytes) : std::malloc(bytes);
      if (!memory) throw std::bad_alloc();
      if (bytes == hugeSlabBytes) madvise(memory, bytes, MADV_HUGEPAGE);
      slabs.emplace_back(memory);
      reserved += bytes;
      if (nextSlabBytes < hugeSlabBytes) nextSlabBytes *= 2;
      bump = static_cast<unsigned char*>(memory);
      bumpEnd = bump + bytes / blockSize * blockSize;
    }
    void* p = bump;
    bump += blockSize;
    inUse += blockSize;
    return p;
  }

  void release(void* p) {
    auto* b = static_cast<FreeBlock*>(p);
    b->next = free;
    free = b;
    inUse -= blockSize;
  }

  std::size_t inUse = 0;
  std::size_t reserved = 0;
};

SizeClass* classes() {
  // Never destroyed: bases held by other statics are torn down at exit, perhaps
  // after this would be.
  static SizeClass* const all = new SizeClass[largest / granule];
  return all;
}

SizeClass& classFor(std::size_t size) {
  SizeClass& c = classes()[(size - 1) / granule];
  if (c.blockSize == 0) c.blockSize = ((size - 1) / granule + 1) * granule;
  return c;
}

} // namespace

void* allocate(std::size_t size) {
  if (!enabled || size == 0 || size > largest) return ::operator new(size);
  return classFor(size).allocate();
}

void release(void* p, std::size_t size) {
  if (!p) return;
  if (!enabled || size == 0 || size > largest) return ::operator delete(p);
  classFor(size).release(p);
}

Stats stats() {
  Stats s;
  for (std::size_t i = 0; i < largest / granule; ++i) {
    s.inUse += classes()[i].inUse;
    s.reserved += classes()[i].reserved;
  }
  return s;
}

} // namespace tessel::pool
