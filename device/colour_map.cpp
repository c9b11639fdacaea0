#include "device/colour_map.hpp"

#include "render/entity_colour.hpp"

#include <cstdint>

namespace trazo {

bool ColourMap::set(Rgb from, Rgb to) {
  for (std::size_t i = 0; i < count_; ++i) {
    if (pairs_[i].from == from) {
      pairs_[i].to = to;
      return true;
    }
  }
  if (count_ == kMostPairs) return false;
  pairs_[count_++] = {from, to};
  return true;
}

ColourMap darkOnLight() {
  constexpr std::int32_t kFirstColour = 1, kLastColour = 6;
  constexpr std::int32_t kFirstLight = 8, kPaletteSize = 16;
  ColourMap map;
  for (std::int32_t col = kFirstColour; col <= kLastColour; ++col) {
    const Rgb light = EntityColor(col);
    for (std::int32_t n = kFirstLight; n < kPaletteSize; ++n) {
      if (QBColor(n) == light) (void)map.set(light, QBColor(n - kFirstLight));
    }
  }
  return map;
}

}  // namespace trazo
