#pragma once
// Allocation of the engine's many small objects (triples, entities, symbols)
// from slabs, by 16-byte size class: no per-object malloc header, and a big
// base read from a stream lies in memory in the order it was read.
// Sanitizer and fuzzing builds use the plain allocator so every misuse is
// still caught (GCC tells AddressSanitizer by __SANITIZE_ADDRESS__, clang by
// __has_feature; fuzzing builds define the conventional macro).

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
#define TESSEL_PLAIN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define TESSEL_PLAIN_ALLOCATOR 1
#endif
#endif

namespace tessel::pool {

#if defined(TESSEL_PLAIN_ALLOCATOR)
inline constexpr bool enabled = false;
#else
inline constexpr bool enabled = true;
#endif

inline constexpr std::size_t largest = 256;

// Sizes above `largest` (or a disabled pool) go to the global allocator.
void* allocate(std::size_t size);
void release(void* p, std::size_t size);
// Room for `count` more objects of `size` bytes in one block of their own,
// when the pool has not that much at hand: a base read from a stream, whose
// counts are known, wastes no part of a slab.
void reserve(std::size_t size, std::size_t count);

// Big blocks (list slots, the room of the lists a stream fills) get pages of
// their own, mapped from the system: they grow without a copy and give their
// pages back when freed, so the peak of opening a big base is not the sum of
// the buffers it went through. Smaller ones, and every block of a disabled
// pool, come from malloc. The caller remembers the size.
void* allocateBlock(std::size_t bytes);
// Keeps the first min (oldBytes, bytes) bytes; p may be null (oldBytes 0).
void* resizeBlock(void* p, std::size_t oldBytes, std::size_t bytes);
void releaseBlock(void* p, std::size_t bytes);

// Gives the system back the whole pages between begin and end, whose bytes
// are never read again (a stream consumed as it is read): they read as zeros.
void discardPages(char* begin, char* end);

// Bytes handed out and not yet released, and bytes taken from the system;
// of these, the slabs mapped by reserve, and the big blocks mapped apart
// (neither is part of malloc's figures).
struct Stats {
  std::size_t inUse = 0;
  std::size_t reserved = 0;
  std::size_t mappedSlabs = 0;
  std::size_t mappedBlocks = 0;
};
Stats stats();

} // namespace tessel::pool
