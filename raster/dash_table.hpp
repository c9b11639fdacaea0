// A dash pattern scaled for a pen other than the classic one pixel (device/dash_pattern.hpp):
// one entry per device pixel of its period, set where the pattern draws.
#pragma once

#include "device/dash_pattern.hpp"

#include <cstdint>
#include <vector>

namespace trazo {

struct DashTable {
  DashPattern pattern = DashPattern::solid;
  double unit = 1;
  std::vector<std::uint8_t> on;  // one per pixel of the period
  int period() const { return static_cast<int>(on.size()); }
  bool at(double position) const;  // whether the pattern draws `position` pixels along it
};

// May throw std::bad_alloc.
DashTable makeDashTable(DashPattern pattern, double unit);

}  // namespace trazo
