// What the aliased and the antialiased wide pens share about a shape's place in a band: the
// band rows a shape may reach, the columns whose pixel centres lie in a stretch, a line's
// frame (its direction and how far its ends reach along it) and where a pixel lies along a
// round. Both pens take these from here so that their pixels meet the same shape.
#pragma once

#include "device/portable_trig.hpp"
#include "raster/wide_raster.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazo::wide_pen {

inline constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// Narrows [low, high] to the u for which k * u + c lies in [from, to].
inline void keepWhere(double k, double c, double from, double to, double& low, double& high) {
  if (k == 0) {
    if (c < from || c > to) high = -kUnbounded;
    return;
  }
  double a = (from - c) / k, b = (to - c) / k;
  if (a > b) std::swap(a, b);
  low = std::max(low, a);
  high = std::min(high, b);
}

// The columns of the buffer whose pixel centres lie in [xLow, xHigh] of the whole picture.
inline bool columns(const PixelBuffer& picture, int left, double xLow, double xHigh, int& first, int& last) {
  const double lowest = left, highest = static_cast<double>(left) + picture.width() - 1;
  const double a = std::max(std::ceil(xLow - 0.5), lowest);
  const double b = std::min(std::floor(xHigh - 0.5), highest);
  if (!(a <= b)) return false;
  first = static_cast<int>(a) - left;
  last = static_cast<int>(b) - left;
  return true;
}

// The band's rows that the rows [first, last] of the whole picture meet.
inline bool rowsInBand(const RasterBand& band, int top, double first, double last, int& from, int& to) {
  const double a = std::max(std::floor(first), static_cast<double>(band.top) + top);
  const double b = std::min(std::ceil(last), static_cast<double>(band.bottom) + top - 1);
  if (!(a <= b)) return false;
  from = static_cast<int>(a) - top;
  to = static_cast<int>(b) - top;
  return true;
}

// The band's rows a line or a round may reach; false where it misses the band.
inline bool bandRows(const RasterBand& band, int top, const WideLine& line, int& from, int& to) {
  double first = 0, last = 0;
  wideLineRows(line, first, last);
  return rowsInBand(band, top, first, last, from, to);
}
inline bool bandRows(const RasterBand& band, int top, const WideRound& round, int& from, int& to) {
  double first = 0, last = 0;
  wideRoundRows(round, first, last);
  return rowsInBand(band, top, first, last, from, to);
}

// A line's direction, along (dx, dy) and across (-dy, dx), and the stretch along it that
// the pen covers: past the ends by half the width for square caps, or flat at the ends of a
// dash. A line of no length is a square.
struct LineFrame {
  double length, dx, dy;
  double alongFrom, alongTo;
};

inline LineFrame lineFrame(const WideLine& l, bool dashed) {
  LineFrame f{};
  f.length = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
  f.dx = f.length > 0 ? (l.x2 - l.x1) / f.length : 1;
  f.dy = f.length > 0 ? (l.y2 - l.y1) / f.length : 0;
  const bool flat = dashed && f.length > 0;
  f.alongFrom = flat ? 0 : -l.halfWidth;
  f.alongTo = flat ? f.length : f.length + l.halfWidth;
  return f;
}

// Where the pixel centre u to the right of the round's centre and v below it lies along the
// round, as an angle counter-clockwise from +X for a whole round or from an arc's start;
// false where it lies past the arc's sweep.
inline bool alongRound(const WideRound& r, bool whole, double u, double v, double& along) {
  double angle = portableAtan2(-v, u);
  if (angle < 0) angle += kFullTurn;
  along = whole ? angle : angle - r.start;
  if (along < 0) along += kFullTurn;
  return whole || !(along > r.span);
}

}  // namespace trazo::wide_pen
