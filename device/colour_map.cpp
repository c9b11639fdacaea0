#include "device/colour_map.hpp"

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

}  // namespace trazo
