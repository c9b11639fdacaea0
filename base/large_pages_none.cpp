#include "base/large_pages.hpp"

namespace trazo {

void adviseLargePages(void*, std::size_t) {}

void commitPagesNow(void*, std::size_t) {}

}  // namespace trazo
