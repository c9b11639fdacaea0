#include "raster/smooth_dash.hpp"

namespace trazo {

std::vector<std::uint16_t> smoothDashWeights(const std::vector<std::uint8_t>& on) {
  std::vector<std::uint16_t> weights(on.size(), 0);
  // Every pattern begins with a dash and ends with a gap, so no dash wraps round the period.
  for (std::size_t first = 0; first < on.size();) {
    std::size_t end = first;
    while (end < on.size() && on[end] == on[first]) ++end;
    if (on[first] != 0) {
      for (std::size_t i = first; i < end; ++i) weights[i] = 256;
      if (end - first > 2) weights[first] = weights[end - 1] = 128;
    }
    first = end;
  }
  return weights;
}

namespace {

using ClassicTables = std::array<std::array<std::uint16_t, kDashPeriod>, 4>;
using ClassicGaps = std::array<SmoothGaps, 4>;

ClassicTables makeClassicTables() {
  ClassicTables all{};
  for (int p = 0; p < 4; ++p) {
    const std::uint32_t bits = dashBits(static_cast<DashPattern>(p));
    std::vector<std::uint8_t> on(kDashPeriod);
    for (int i = 0; i < kDashPeriod; ++i) on[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> i & 1u);
    const auto weights = smoothDashWeights(on);
    for (int i = 0; i < kDashPeriod; ++i)
      all[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)] = weights[static_cast<std::size_t>(i)];
  }
  return all;
}

ClassicGaps makeClassicGaps(const ClassicTables& tables) {
  ClassicGaps all{};
  for (std::size_t p = 0; p < 4; ++p) {
    const auto& weights = tables[p];
    std::uint8_t run = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
      run = weights[i] == 0 ? static_cast<std::uint8_t>(run + 1) : 0;
      all[p].behind[i] = run;
    }
    run = 0;
    for (std::size_t i = weights.size(); i-- > 0;) {
      run = weights[i] == 0 ? static_cast<std::uint8_t>(run + 1) : 0;
      all[p].ahead[i] = run;
    }
  }
  return all;
}

// Made when the program loads: the bands that read them draw without allocating, and a
// band cannot report a failure.
const ClassicTables classicTables = makeClassicTables();
const ClassicGaps classicGaps = makeClassicGaps(classicTables);

}  // namespace

const std::array<std::uint16_t, kDashPeriod>& classicSmoothWeights(DashPattern pattern) {
  return classicTables[static_cast<std::size_t>(pattern)];
}

const SmoothGaps& classicSmoothGaps(DashPattern pattern) { return classicGaps[static_cast<std::size_t>(pattern)]; }

}  // namespace trazo
