// Fresh memory that is about to be written whole: on the machines the product runs on, the
// first touch of each page of it costs a fault, and a list of millions of entries can spend
// more time coming by its memory than filling it.
#pragma once

#include <cstddef>

namespace trazo {

// Has the system give the whole pages within `bytes` from `at` their memory now, in one
// call, rather than in one fault for each page as it is first written. A hint only: memory
// the system cannot give now is given on its first touch as usual.
void commitPagesNow(void* at, std::size_t bytes);

}  // namespace trazo
