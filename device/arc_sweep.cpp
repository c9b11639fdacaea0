#include "device/arc_sweep.hpp"

#include "device/portable_trig.hpp"

#include <cmath>

namespace trazo {

std::optional<ArcSweep> arcSweep(double start, double end) {
  if (!std::isfinite(start) || !std::isfinite(end)) return std::nullopt;
  ArcSweep sweep;
  sweep.radiusToStart = start < 0;
  sweep.radiusToEnd = end < 0;
  sweep.start = std::fmod(std::fabs(start), kFullTurn);
  const double stop = std::fmod(std::fabs(end), kFullTurn);
  sweep.span = stop - sweep.start;
  if (sweep.span <= 0) sweep.span += kFullTurn;
  return sweep;
}

}  // namespace trazo
