// Colours a host puts in place of others on its picture, for instance darker ones on a
// light background. The control hands its picture the colours it always does; the device
// geometry maps them on their way to a back end, so the recorded calls stay as they are.
#pragma once

#include "base/colour.hpp"

#include <array>
#include <cstddef>

namespace trazo {

class ColourMap {
 public:
  static constexpr std::size_t kMostPairs = 16;

  // Paints `to` wherever `from` is drawn; false when the map is full.
  bool set(Rgb from, Rgb to);
  bool empty() const { return count_ == 0; }
  Rgb operator()(Rgb colour) const {
    for (std::size_t i = 0; i < count_; ++i) {
      if (pairs_[i].from == colour) return pairs_[i].to;
    }
    return colour;
  }

 private:
  struct Pair {
    Rgb from, to;
  };
  std::array<Pair, kMostPairs> pairs_{};
  std::size_t count_ = 0;
};

// For a light background: each of the control's six light colours drawn as its dark
// counterpart, eight places earlier in the 16-colour palette.
ColourMap darkOnLight();

}  // namespace trazo
