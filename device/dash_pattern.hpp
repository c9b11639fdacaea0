// DrawStyle dash patterns, counted in device pixels along a line or an outline, after the
// cosmetic pens of classic Windows that the control was first drawn with:
//   1 dash           18 on, 6 off
//   3 dash-dot        9 on, 6 off, 3 on, 6 off
//   4 dash-dot-dot    9 on, 3 off, 3 on, 3 off, 3 on, 3 off
// Any other style draws solid. Every pattern repeats after kDashPeriod pixels.
#pragma once

#include <cstdint>
#include <span>

namespace trazo {

enum class DashPattern : std::uint8_t { solid, dash, dashDot, dashDotDot };

inline constexpr int kDashPeriod = 24;

DashPattern dashPatternFor(std::int32_t drawStyle);

// The lengths of the pattern's runs, on first, then off, on, off ...; empty for solid.
std::span<const int> dashRuns(DashPattern pattern);

// One bit per pixel of the period, the first pixel lowest: set where the pattern draws.
std::uint32_t dashBits(DashPattern pattern);

// Whether pixel `index` of the period (0 .. kDashPeriod - 1) is drawn.
inline bool dashOn(DashPattern pattern, int index) { return (dashBits(pattern) >> index) & 1u; }

}  // namespace trazo
