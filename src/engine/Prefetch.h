#pragma once
// Asks the processor to start loading a cache line that is needed soon.
// Written as an instruction because GCC silently drops __builtin_prefetch
// for several of the addresses the engine computes.

namespace tessel {

inline void prefetchLine(const void* p) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" ::"m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p);
#endif
}

} // namespace tessel
