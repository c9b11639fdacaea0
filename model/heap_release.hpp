// Memory that the C library's allocator holds free, given back to the system where the
// allocator can do that on request (glibc, the Windows C runtime); elsewhere nothing
// happens. Freed strings of a cleared drawing otherwise stay with the process.
#pragma once

namespace trazo {

void releaseFreeHeap();

}  // namespace trazo
