// Asks the processor to bring memory in before it is read or written, where the compiler can
// say so: for loops that reach all over a large table, whose every step would otherwise wait
// for its own read. Nothing elsewhere; the result never depends on it.
#pragma once

namespace trazo {

inline void prefetchForWrite(const void* at) {
#if defined(__GNUC__)
  __builtin_prefetch(at, 1);
#else
  (void)at;
#endif
}

inline void prefetchForRead(const void* at) {
#if defined(__GNUC__)
  __builtin_prefetch(at, 0);
#else
  (void)at;
#endif
}

}  // namespace trazo
