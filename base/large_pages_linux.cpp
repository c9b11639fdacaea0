#include "base/large_pages.hpp"

#include <sys/mman.h>

#include <cstdint>

namespace trazo {
namespace {

// Gives `advice` for the whole pages of `page` bytes within `bytes` from `at`.
void adviseWholePages(void* at, std::size_t bytes, std::uintptr_t page, int advice) {
  const auto begin = reinterpret_cast<std::uintptr_t>(at);
  const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t last = (begin + bytes) & ~(page - 1);
  if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, advice);
}

}  // namespace

void adviseLargePages(void* at, std::size_t bytes) {
  adviseWholePages(at, bytes, std::uintptr_t{2} << 20, MADV_HUGEPAGE);
}

void commitPagesNow([[maybe_unused]] void* at, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE  // Linux 5.14; older systems fault the pages in as they are written
  adviseWholePages(at, bytes, 4096, MADV_POPULATE_WRITE);
#endif
}

}  // namespace trazo
