#include "device/dash_pattern.hpp"

#include "base/surface.hpp"

#include <array>

namespace trazo {
namespace {

constexpr std::array<int, 2> kDash{18, 6};
constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

// One bit per pixel of the period, for each pattern.
constexpr std::uint32_t periodBits(std::span<const int> runs) {
  std::uint32_t bits = 0;
  int at = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    for (int k = 0; k < runs[i]; ++k, ++at) {
      if (i % 2 == 0) bits |= 1u << at;
    }
  }
  return bits;
}

constexpr std::array<std::uint32_t, 4> kPeriodBits{(1u << kDashPeriod) - 1, periodBits(kDash), periodBits(kDashDot),
                                                  periodBits(kDashDotDot)};

}  // namespace

DashPattern dashPatternFor(std::int32_t drawStyle) {
  switch (drawStyle) {
    case kDrawStyleDash: return DashPattern::dash;
    case kDrawStyleDashDot: return DashPattern::dashDot;
    case kDrawStyleDashDotDot: return DashPattern::dashDotDot;
    default: return DashPattern::solid;
  }
}

std::span<const int> dashRuns(DashPattern pattern) {
  switch (pattern) {
    case DashPattern::dash: return kDash;
    case DashPattern::dashDot: return kDashDot;
    case DashPattern::dashDotDot: return kDashDotDot;
    case DashPattern::solid: break;
  }
  return {};
}

std::uint32_t dashBits(DashPattern pattern) { return kPeriodBits[static_cast<std::size_t>(pattern)]; }

}  // namespace trazo
