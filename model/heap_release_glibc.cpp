#include "model/heap_release.hpp"

#include <malloc.h>

namespace trazo {

// Returns every free page of every arena, not only the top of the main heap.
void releaseFreeHeap() { malloc_trim(0); }

}  // namespace trazo
