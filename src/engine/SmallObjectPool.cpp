#include "engine/SmallObjectPool.h"

#include "engine/Prefetch.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace tessel::pool {

namespace {

constexpr std::size_t granule = 8;
// Slabs grow from 64 KiB to 2 MiB; the big ones are offered to the kernel as
// huge pages, which spares a page fault per 4 KiB on a big base (faults are
// dear, above all in a virtual machine).
constexpr std::size_t firstSlabBytes = 64 * 1024;
constexpr std::size_t hugeSlabBytes = 2 * 1024 * 1024;

void* mapPages(std::size_t bytes);

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
    carved += blockSize;
    inUse += blockSize;
    return p;
  }

  std::size_t freed() const { return (carved - inUse) / blockSize; }
  std::size_t fresh() const { return static_cast<std::size_t>(bumpEnd - bump) / blockSize; }

  void release(void* p) {
    auto* b = static_cast<FreeBlock*>(p);
    b->next = free;
    free = b;
    inUse -= blockSize;
  }

  std::size_t inUse = 0;
  std::size_t reserved = 0;
  std::size_t carved = 0; // handed out from slabs, freed or not
};

// Bytes mapped apart from malloc, for stats().
struct Mapped {
  std::size_t slabs = 0;
  std::size_t blocks = 0;
} mappedBytes;

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

void reserve(std::size_t size, std::size_t count) {
  if (!enabled || size == 0 || size > largest || count == 0) return;
  SizeClass& c = classFor(size);
  // Freed blocks are taken first: a base read again once emptied reuses them.
  if (c.freed() + c.fresh() >= count) return;
  // What is left of the current slab stays unused.
  const std::size_t bytes = (count - c.freed()) * c.blockSize;
  auto* memory = static_cast<unsigned char*>(mapPages(bytes));
  c.reserved += bytes;
  mappedBytes.slabs += bytes;
  c.bump = memory;
  c.bumpEnd = memory + bytes;
  // Mapped for good, like every slab. Later slabs start small again.
  c.nextSlabBytes = firstSlabBytes;
}

void release(void* p, std::size_t size) {
  if (!p) return;
  if (!enabled || size == 0 || size > largest) return ::operator delete(p);
  classFor(size).release(p);
}

namespace {

// The sizes from which a block is mapped: below, malloc's own reuse is cheaper.
constexpr std::size_t bigBlock = 256 * 1024;
constexpr std::size_t pageBytes = 4096;

bool mapped(std::size_t bytes) { return enabled && bytes >= bigBlock; }
std::size_t pages(std::size_t bytes) { return (bytes + pageBytes - 1) / pageBytes * pageBytes; }

// Blocks of a huge page or more start on a huge page's boundary and are
// offered as huge pages; their last part, shorter than a huge page, is not.
void* mapPages(std::size_t bytes) {
  const std::size_t length = pages(bytes);
  if (length < hugeSlabBytes) {
    void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return p;
  }
  void* raw = mmap(nullptr, length + hugeSlabBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + hugeSlabBytes - 1) / hugeSlabBytes * hugeSlabBytes;
  if (aligned > start) munmap(raw, aligned - start);
  const std::size_t tail = (start + length + hugeSlabBytes) - (aligned + length);
  if (tail) munmap(reinterpret_cast<void*>(aligned + length), tail);
  madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

} // namespace

void* allocateBlock(std::size_t bytes) {
  if (!mapped(bytes)) {
    void* p = std::malloc(bytes);
    if (!p && bytes) throw std::bad_alloc();
    return p;
  }
  void* p = mapPages(bytes);
  mappedBytes.blocks += pages(bytes);
  return p;
}

void* resizeBlock(void* p, std::size_t oldBytes, std::size_t bytes) {
  if (!p) return allocateBlock(bytes);
  if (!mapped(oldBytes) && !mapped(bytes)) {
    void* grown = std::realloc(p, bytes);
    if (!grown) throw std::bad_alloc();
    return grown;
  }
  if (mapped(oldBytes) && mapped(bytes)) {
    // The pages move (or stay) as they are; the new ones are touched only when written.
    void* grown = mremap(p, pages(oldBytes), pages(bytes), MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) throw std::bad_alloc();
    if (pages(bytes) >= hugeSlabBytes) madvise(grown, pages(bytes), MADV_HUGEPAGE);
    mappedBytes.blocks += pages(bytes);
    mappedBytes.blocks -= pages(oldBytes);
    return grown;
  }
  void* moved = allocateBlock(bytes);
  std::memcpy(moved, p, oldBytes < bytes ? oldBytes : bytes);
  releaseBlock(p, oldBytes);
  return moved;
}

void releaseBlock(void* p, std::size_t bytes) {
  if (!p) return;
  if (mapped(bytes)) {
    munmap(p, pages(bytes));
    mappedBytes.blocks -= pages(bytes);
  } else
    std::free(p);
}

void discardPages(char* begin, char* end) {
  const auto first = (reinterpret_cast<std::uintptr_t>(begin) + pageBytes - 1) / pageBytes * pageBytes;
  const auto last = reinterpret_cast<std::uintptr_t>(end) / pageBytes * pageBytes;
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

Stats stats() {
  Stats s;
  for (std::size_t i = 0; i < largest / granule; ++i) {
    s.inUse += classes()[i].inUse;
    s.reserved += classes()[i].reserved;
  }
  s.mappedSlabs = mappedBytes.slabs;
  s.mappedBlocks = mappedBytes.blocks;
  return s;
}

} // namespace tessel::pool
