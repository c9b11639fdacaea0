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

// Where a walk may pass over a gap of the pattern without drawing: at each place in the
// period, how many places of weight 0 follow from there on (ahead), or lead up to it
// (behind), itself included; 0 where the pattern draws. No gap wraps round the period.
struct SmoothGaps {
  std::array<std::uint8_t, kDashPeriod> ahead, behind;
};
const SmoothGaps& classicSmoothGaps(DashPattern pattern);

// A walk asks gapAhead / gapBehind at each step and passes over that many steps at once.
struct SmoothDash {
  const std::uint16_t* weights;
  int length;
  int period() const { return length; }
  std::uint32_t weight(int at) const { return weights[at]; }
  static constexpr int gapAhead(int) { return 0; }
  static constexpr int gapBehind(int) { return 0; }
};

// A classic pattern, whose gaps are known.
struct SmoothClassicDash {
  const std::uint16_t* weights;
  const SmoothGaps* gaps;
  static constexpr int period() { return kDashPeriod; }
  std::uint32_t weight(int at) const { return weights[at]; }
  int gapAhead(int at) const { return gaps->ahead[static_cast<std::size_t>(at)]; }
  int gapBehind(int at) const { return gaps->behind[static_cast<std::size_t>(at)]; }
};

// The next place in a pattern's period, and the one before: a choice the compiler makes
// without a branch.
template <typename Dash>
inline int smoothNext(const Dash& dash, int at) {
  const int next = at + 1;
  return next == dash.period() ? 0 : next;
}
template <typename Dash>
inline int smoothPrevious(const Dash& dash, int at) {
  return at == 0 ? dash.period() - 1 : at - 1;
}

struct SmoothSolid {
  static constexpr int period() { return 1; }
  static constexpr std::uint32_t weight(int) { return 256; }
  static constexpr int gapAhead(int) { return 0; }
  static constexpr int gapBehind(int) { return 0; }
};

inline SmoothClassicDash smoothClassicDash(DashPattern pattern) {
  return {classicSmoothWeights(pattern).data(), &classicSmoothGaps(pattern)};
}

}  // namespace trazo
