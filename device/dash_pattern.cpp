#include "device/dash_pattern.hpp"

#include "picture/surface.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

constexpr std::array<int, 2> kDash{18, 6};
constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

struct ClassicRuns {
  const int* runs;
  std::size_t count;
};

constexpr ClassicRuns classicRuns(DashPattern pattern) {
  switch (pattern) {
    case DashPattern::dash: return {kDash.data(), kDash.size()};
    case DashPattern::dashDot: return {kDashDot.data(), kDashDot.size()};
    case DashPattern::dashDotDot: return {kDashDotDot.data(), kDashDotDot.size()};
    case DashPattern::solid: break;
  }
  return {nullptr, 0};
}

// One bit per pixel of the period, for each pattern.
constexpr std::uint32_t periodBits(DashPattern pattern) {
  const ClassicRuns runs = classicRuns(pattern);
  if (runs.count == 0) return (1u << kDashPeriod) - 1;
  std::uint32_t bits = 0;
  int at = 0;
  for (std::size_t i = 0; i < runs.count; ++i) {
    for (int k = 0; k < runs.runs[i]; ++k, ++at) {
      if (i % 2 == 0) bits |= 1u << at;
    }
  }
  return bits;
}

constexpr std::array<std::uint32_t, 4> kPeriodBits{periodBits(DashPattern::solid), periodBits(DashPattern::dash),
                                                   periodBits(DashPattern::dashDot),
                                                   periodBits(DashPattern::dashDotDot)};

}  // namespace

DashPattern dashPatternFor(std::int32_t drawStyle) {
  switch (drawStyle) {
    case kDrawStyleDash: return DashPattern::dash;
    case kDrawStyleDashDot: return DashPattern::dashDot;
    case kDrawStyleDashDotDot: return DashPattern::dashDotDot;
    default: return DashPattern::solid;
  }
}

DashRuns dashRuns(DashPattern pattern, double unit) {
  DashRuns out;
  const ClassicRuns classic = classicRuns(pattern);
  const bool scaled = unit != 1 && std::isfinite(unit) && unit > 0;
  for (std::size_t i = 0; i < classic.count; ++i) {
    const int run = scaled ? std::max(1, static_cast<int>(std::lround(classic.runs[i] * unit))) : classic.runs[i];
    out.runs_[i] = run;
    out.period_ += run;
  }
  out.count_ = classic.count;
  return out;
}

std::uint32_t dashBits(DashPattern pattern) { return kPeriodBits[static_cast<std::size_t>(pattern)]; }

}  // namespace trazo
