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

// How a walk puts its pixel where the mask is on. Over: on top of what is there, as the
// commands are drawn in order. Under: only where nothing is yet, as they are drawn from the
// last back to the first, so that the last command to reach a pixel still gives its colour;
// a pixel not yet written has its top (alpha) bit clear, which every colour has set.
struct Over {
  static std::uint32_t put(std::uint32_t old, std::uint32_t pixel, std::uint32_t on) {
    return (old & ~on) | (pixel & on);
  }
};

struct Under {
  static std::uint32_t put(std::uint32_t old, std::uint32_t pixel, std::uint32_t on) {
    on &= ~static_cast<std::uint32_t>(static_cast<std::int32_t>(old) >> 31);
    return (old & ~on) | (pixel & on);
  }
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
