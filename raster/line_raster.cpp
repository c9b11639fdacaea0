#include "raster/line_raster.hpp"

#include "raster/dash_mask.hpp"
#include "raster/step_limits.hpp"

#include <algorithm>

namespace trazo {
namespace {

using i64 = std::int64_t;
using steps::limitByMajor;
using steps::limitByMinor;

// The walk along the longer axis, without branches that depend on the data: a step along
// the shorter axis and a dash gap are both applied through masks, so that the processor
// never guesses wrong. `at` is the place in the dash period at the first pixel.
template <typename Write, typename Dash>
void walk(std::uint32_t* base, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep, i64 count, i64 remainder,
          i64 twoMinor, i64 twoMajor, std::uint32_t pixel, const Dash& dash, int at) {
  std::ptrdiff_t offset = 0;
  for (i64 k = 0;;) {
    const std::uint32_t on = dash.mask(at);
    base[offset] = Write::put(base[offset], pixel, on);
    at = nextInPeriod(dash, at);
    if (++k == count) return;
    remainder += twoMinor;
    const i64 carry = -static_cast<i64>(remainder >= twoMajor);
    remainder -= twoMajor & carry;
    offset += majorStep + (minorStep & static_cast<std::ptrdiff_t>(carry));
  }
}

// Where a segment's walk meets the band: the first pixel, the steps, and how many there are.
struct LineSteps {
  std::uint32_t* first;
  std::ptrdiff_t majorStep, minorStep;
  i64 count, remainder, twoMinor, twoMajor;
  i64 from;  // steps of the whole segment before the first pixel in the band
};

bool stepsInBand(const RasterBand& band, const RasterLine& line, LineSteps& steps) {
  // Most segments of a drawing miss most bands.
  if ((line.y1 < band.top && line.y2 < band.top) || (line.y1 >= band.bottom && line.y2 >= band.bottom)) return false;
  PixelBuffer& picture = *band.picture;
  const i64 dx = i64{line.x2} - line.x1;
  const i64 dy = i64{line.y2} - line.y1;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const i64 major = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
  const i64 minor = xMajor ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const int majorSign = xMajor ? sx : sy;
  const int minorSign = xMajor ? sy : sx;
  const i64 majorStart = xMajor ? line.x1 : line.y1;
  const i64 minorStart = xMajor ? line.y1 : line.x1;
  // The picture's columns and the band's rows, as ranges of each axis.
  const i64 xLow = 0, xHigh = i64{picture.width()} - 1;
  const i64 yLow = band.top, yHigh = i64{band.bottom} - 1;
  const i64 majorLow = xMajor ? xLow : yLow, majorHigh = xMajor ? xHigh : yHigh;
  const i64 minorLow = xMajor ? yLow : xLow, minorHigh = xMajor ? yHigh : xHigh;

  i64 from = 0, to = major;
  limitByMajor(majorStart, majorSign, majorLow, majorHigh, from, to);
  if (major > 0) {
    const i64 low = minorSign > 0 ? minorLow - minorStart : minorStart - minorHigh;
    const i64 high = minorSign > 0 ? minorHigh - minorStart : minorStart - minorLow;
    limitByMinor(minor, major, low, high, from, to);
  } else if (minorStart < minorLow || minorStart > minorHigh) {
    return false;
  }
  if (from > to) return false;

  // The state of step `from`: how far along the shorter axis, and the remainder of that
  // division, which the walk carries on.
  const i64 twoMajor = 2 * major, twoMinor = 2 * minor;
  i64 moved = 0, remainder = 0;
  if (major > 0) {
    const i64 numerator = twoMinor * from + major;
    moved = numerator / twoMajor;
    remainder = numerator - moved * twoMajor;
  }
  const i64 majorAt = majorStart + majorSign * from;
  const i64 minorAt = minorStart + minorSign * moved;
  const i64 x = xMajor ? majorAt : minorAt;
  const i64 y = xMajor ? minorAt : majorAt;
  const std::ptrdiff_t stride = picture.width();
  const std::ptrdiff_t xStep = sx, yStep = sy * stride;
  steps = {picture.row(static_cast<int>(y)) + x,
           xMajor ? xStep : yStep,
           xMajor ? yStep : xStep,
           to - from + 1,
           remainder,
           twoMinor,
           twoMajor,
           from};
  return true;
}

template <typename Write = Over, typename Dash>
void walkInBand(const LineSteps& s, const RasterLine& line, const Dash& dash) {
  const int at = static_cast<int>((line.phase + s.from) % dash.period());
  walk<Write>(s.first, s.majorStep, s.minorStep, s.count, s.remainder, s.twoMinor, s.twoMajor, line.pixel, dash, at);
}

template <typename Write>
void drawClassicLine(const RasterBand& band, const RasterLine& line) {
  LineSteps s;
  if (!stepsInBand(band, line, s)) return;
  if (line.dash == DashPattern::solid) {
    walkInBand<Write>(s, line, NoDash{});
  } else {
    walkInBand<Write>(s, line, MaskDash{dashBits(line.dash)});
  }
}

}  // namespace

void drawLine(const RasterBand& band, const RasterLine& line) { drawClassicLine<Over>(band, line); }
void drawLineUnder(const RasterBand& band, const RasterLine& line) { drawClassicLine<Under>(band, line); }

void drawLine(const RasterBand& band, const RasterLine& line, const DashTable& dash) {
  LineSteps s;
  if (!stepsInBand(band, line, s)) return;
  walkInBand(s, line, TableDash{dash.on.data(), dash.period()});
}

}  // namespace trazo
