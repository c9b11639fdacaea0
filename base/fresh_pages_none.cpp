#include "base/fresh_pages.hpp"

namespace trazo {

void commitPagesNow(void*, std::size_t) {}

}  // namespace trazo
