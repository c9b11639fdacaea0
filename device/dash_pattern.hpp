// DrawStyle dash patterns, counted in device pixels along a line or an outline, after the
// cosmetic pens of classic Windows that the control was first drawn with:
//   1 dash           18 on, 6 off
//   3 dash-dot        9 on, 6 off, 3 on, 6 off
//   4 dash-dot-dot    9 on, 3 off, 3 on, 3 off, 3 on, 3 off
// Any other style draws solid. Every pattern repeats after kDashPeriod pixels.
//
// A wider pen or a finer device scales the runs by a dash unit (device_pen.hpp), each run
// rounded to whole device pixels and at least one long, so that every back end draws the
// same dashes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace trazo {

enum class DashPattern : std::uint8_t { solid, dash, dashDot, dashDotDot };

inline constexpr int kDashPeriod = 24;
inline constexpr std::size_t kMostDashRuns = 6;

DashPattern dashPatternFor(std::int32_t drawStyle);

// The lengths of a pattern's runs in device pixels, on first, then off, on, off ...; none
// for solid.
class DashRuns {
 public:
  const int* begin() const { return runs_.data(); }
  const int* end() const { return runs_.data() + count_; }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  int operator[](std::size_t i) const { return runs_[i]; }
  // The length after which the pattern repeats; 0 for solid.
  int period() const { return period_; }

 private:
  friend DashRuns dashRuns(DashPattern pattern, double unit);
  std::array<int, kMostDashRuns> runs_{};
  std::size_t count_ = 0;
  int period_ = 0;
};

// The runs of `pattern` with each classic run `unit` device pixels long (1: as classic).
DashRuns dashRuns(DashPattern pattern, double unit = 1);

// One bit per pixel of the classic period, the first pixel lowest: set where it draws.
std::uint32_t dashBits(DashPattern pattern);

}  // namespace trazo
