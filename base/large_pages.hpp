// Asks the system to back a large array with large pages where it offers them: on the
// machines the product runs on, the first touch of each small page of fresh memory costs
// microseconds, so an index or a list of millions of entries spends more time coming by its
// memory than filling it, and reading it all over misses the processor's table of pages.
// A hint only: nothing is allocated, and nothing changes where the system has no such pages.
#pragma once

#include <cstddef>

namespace trazo {

// Covers the whole large pages within `bytes` from `at`; memory outside them is left alone.
void adviseLargePages(void* at, std::size_t bytes);

// Has the system give the whole small pages within `bytes` from `at` their memory now, in
// one call, rather than in one fault for each page as it is first written: for fresh memory
// that is about to be written whole. Also a hint only; memory the system cannot give now is
// given on its first touch as usual.
void commitPagesNow(void* at, std::size_t bytes);

}  // namespace trazo
