#pragma once
// Allocation of the engine's many small objects (triples, entities, symbols)
// from slabs, by 16-byte size class: no per-object malloc header, and a big
// base read from a stream lies in memory in the order it was read.
// Sanitizer builds use the plain allocator so every misuse is still caught.

#include <cstddef>

namespace tessel::pool {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool enabled = false;
#else
inline constexpr bool enabled = true;
#endif

inline constexpr std::size_t largest = 256;

// Sizes above `largest` (or a disabled pool) go to the global allocator.
void* allocate(std::size_t size);
void release(void* p, std::size_t size);

// Bytes handed out and not yet released, and bytes taken from the system.
struct Stats {
  std::size_t inUse = 0;
  std::size_t reserved = 0;
};
Stats stats();

} // namespace tessel::pool
