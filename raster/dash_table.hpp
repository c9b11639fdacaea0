// A dash pattern scaled for a pen other than the classic one pixel (device/dash_pattern.hpp):
// one entry per device pixel of its period, set where the pattern draws.
#pragma once

#include "device/dash_pattern.hpp"

#include <cmath>
#include <cstdint>
#include <vector>

namespace trazo {

struct DashTable {
  DashPattern pattern = DashPattern::solid;
  double unit = 1;
  std::vector<std::uint8_t> on;  // one per pixel of the period
  double perPeriod = 0;          // 1 / the period
  // The antialiased walk's weights, one per pixel of the period (smooth_dash.hpp).
  std::vector<std::uint16_t> smooth;
  int period() const { return static_cast<int>(on.size()); }
  // Where `position` pixels along the pattern fall in its period, in [0, period).
  double wrap(double position) const {
    const double length = static_cast<double>(on.size());
    double p = position - std::floor(position * perPeriod) * length;
    if (p < 0) p += length;
    if (p >= length) p -= length;
    return p;
  }
  // Whether the pattern draws at `wrapped`, a position within its period.
  bool onAt(double wrapped) const {
    const auto index = static_cast<std::size_t>(wrapped);
    return on[index < on.size() ? index : on.size() - 1] != 0;
  }
  bool at(double position) const { return on.empty() || onAt(wrap(position)); }
};

// May throw std::bad_alloc.
DashTable makeDashTable(DashPattern pattern, double unit);

}  // namespace trazo
