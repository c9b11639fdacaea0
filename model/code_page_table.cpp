// Byte lengths in code page 932 from a table of the units it holds in two bytes, for C
// libraries that have no code page 932 (emscripten's musl): the same answers as the Linux
// build's iconv, which made the table.
#include "model/single_byte_text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace trazo {
namespace {

struct UnitRange {
  std::uint16_t first, last;
};

constexpr UnitRange kTwoByteUnits[] = {
#include "model/code_page_932_units.inc"
};

static_assert(std::is_sorted(std::begin(kTwoByteUnits), std::end(kTwoByteUnits),
                             [](const UnitRange& a, const UnitRange& b) { return a.last < b.first; }));

}  // namespace

int codePageBytes(char16_t unit) {
  if (unit < 0x80) return 1;
  const auto after = std::upper_bound(std::begin(kTwoByteUnits), std::end(kTwoByteUnits), unit,
                                      [](char16_t u, const UnitRange& r) { return u < r.first; });
  return after != std::begin(kTwoByteUnits) && unit <= std::prev(after)->last ? 2 : 1;
}

}  // namespace trazo
