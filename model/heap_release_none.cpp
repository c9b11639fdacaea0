#include "model/heap_release.hpp"

namespace trazo {

// This C library gives free memory back on its own terms, or not at all.
void releaseFreeHeap() {}

}  // namespace trazo
