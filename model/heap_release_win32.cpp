#include "model/heap_release.hpp"

#include <malloc.h>

namespace trazo {

void releaseFreeHeap() { _heapmin(); }

}  // namespace trazo
