#include "base/fresh_pages.hpp"

#include <sys/mman.h>

#include <cstdint>

namespace trazo {

void commitPagesNow([[maybe_unused]] void* at, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE  // Linux 5.14; older systems fault the pages in as they are written
  constexpr std::uintptr_t page = 4096;
  const auto begin = reinterpret_cast<std::uintptr_t>(at);
  const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t last = (begin + bytes) & ~(page - 1);
  if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

}  // namespace trazo
