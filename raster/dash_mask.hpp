// The dash pattern of a one-pixel walk as a mask per pixel, all ones where the pattern
// draws: the classic patterns, one bit per pixel of their period; scaled ones, one byte per
// pixel of theirs (dash_table.hpp); and none, for a solid pen. A walk keeps its place in the
// period, 0 .. period() - 1, and writes (old & ~mask) | (pixel & mask), so that a gap costs
// no branch the processor could guess wrong.
#pragma once

#include "device/dash_pattern.hpp"

#include <cstdint>

namespace trazo {

struct MaskDash {
  std::uint32_t bits;
  static constexpr int period() { return kDashPeriod; }
  std::uint32_t mask(int at) const { return 0u - ((bits >> at) & 1u); }
};

struct TableDash {
  const std::uint8_t* on;
  int length;
  int period() const { return length; }
  std::uint32_t mask(int at) const { return 0u - static_cast<std::uint32_t>(on[at]); }
};

struct NoDash {
  static constexpr int period() { return 1; }
  static constexpr std::uint32_t mask(int) { return ~0u; }
};

// The next place in the period, and the one before.
template <typename Dash>
inline int nextInPeriod(const Dash& dash, int at) {
  ++at;
  return at - (dash.period() & -static_cast<int>(at == dash.period()));
}
template <typename Dash>
inline int previousInPeriod(const Dash& dash, int at) {
  --at;
  return at + (dash.period() & -static_cast<int>(at < 0));
}

}  // namespace trazo
