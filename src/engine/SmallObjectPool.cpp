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
// Slabs grow from 64 KiB to 2 MiB. They are not offered as huge pages: the
// partly used last slab of every size class would then be resident whole.
constexpr std::size_t firstSlabBytes = 64 * 1024;
constexpr std::size_t largestSlabBytes = 2 * 1024 * 1024;

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
      void* memory = std::malloc(bytes);
      if (!memory) throw std::bad_alloc();
      slabs.emplace_back(memory);
      reserved += bytes;
      if (nextSlabBytes < largestSlabBytes) nextSlabBytes *= 2;
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

namespace {

// The sizes from which a block is mapped: below, malloc's own reuse is cheaper.
constexpr std::size_t bigBlock = 256 * 1024;
constexpr std::size_t pageBytes = 4096;

bool mapped(std::size_t bytes) { return enabled && bytes >= bigBlock; }
std::size_t pages(std::size_t bytes) { return (bytes + pageBytes - 1) / pageBytes * pageBytes; }

} // namespace

void* allocateBlock(std::size_t bytes) {
  if (!mapped(bytes)) {
    void* p = std::malloc(bytes);
    if (!p && bytes) throw std::bad_alloc();
    return p;
  }
  void* p = mmap(nullptr, pages(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
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
    return grown;
  }
  void* moved = allocateBlock(bytes);
  std::memcpy(moved, p, oldBytes < bytes ? oldBytes : bytes);
  releaseBlock(p, oldBytes);
  return moved;
}

void releaseBlock(void* p, std::size_t bytes) {
  if (!p) return;
  if (mapped(bytes))
    munmap(p, pages(bytes));
  else
    std::free(p);
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
