#include "base/large_pages.hpp"

#include <sys/mman.h>

#include <cstdint>

namespace trazo {

void adviseLargePages(void* at, std::size_t bytes) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(at);
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
  if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void commitPagesNow([[maybe_unused]] void* at, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE  // Linux 5.14; older systems fault the pages in as they are written
  constexpr std::uintptr_t kPage = 4096;
  const auto begin = reinterpret_cast<std::uintptr_t>(at);
  const std::uintptr_t first = (begin + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kPage - 1);
  if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

}  // namespace trazo
