// The dash patterns of the antialiased one-pixel walk: the same pixels on and off as the
// aliased walk's (dash_mask.hpp), at the same places in the period, each with a weight in
// 256ths: 256 inside a dash, 0 in a gap, and 128 on the first and the last pixel of a dash
// longer than two pixels, so that a dash ends in a soft step rather than a hard edge.
#pragma once

#include "raster/dash_table.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace trazo {

// The weights of one period whose pixels are `on`.
std::vector<std::uint16_t> smoothDashWeights(const std::vector<std::uint8_t>& on);

// A classic pattern's weights, one per pixel of kDashPeriod.
const std::array<std::uint16_t, kDashPeriod>& classicSmoothWeights(DashPattern pattern);

struct SmoothDash {
  const std::uint16_t* weights;
  int length;
  int period() const { return length; }
  std::uint32_t weight(int at) const { return weights[at]; }
};

struct SmoothSolid {
  static constexpr int period() { return 1; }
  static constexpr std::uint32_t weight(int) { return 256; }
};

}  // namespace trazo
