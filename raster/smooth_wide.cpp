#include "raster/smooth_wide.hpp"

#include "device/portable_trig.hpp"
#include "raster/blend.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazo {
namespace {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// A part of a pixel, 0 .. 1, as a weight in 256ths.
std::uint32_t weightOf(double part) { return static_cast<std::uint32_t>(std::clamp(part, 0.0, 1.0) * 256); }

// The part of the pixel-long stretch about `position` that lies in a dash: the pattern's
// pixels read as a box filter, which is the pattern interpolated half a pixel back.
double dashPart(const DashTable& dash, double position) {
  const double p = dash.wrap(position - 0.5);
  const auto index = std::min(static_cast<std::size_t>(p), dash.on.size() - 1);
  const double t = p - static_cast<double>(index);
  const double here = dash.on[index], next = dash.on[(index + 1) % dash.on.size()];
  return here + (next - here) * t;
}

// Narrows [low, high] to the u for which k * u + c lies in [from, to].
void keepWhere(double k, double c, double from, double to, double& low, double& high) {
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
bool columns(const PixelBuffer& picture, int left, double xLow, double xHigh, int& first, int& last) {
  const double a = std::max(std::ceil(xLow - 0.5), static_cast<double>(left));
  const double b = std::min(std::floor(xHigh - 0.5), static_cast<double>(left) + picture.width() - 1);
  if (!(a <= b)) return false;
  first = static_cast<int>(a) - left;
  last = static_cast<int>(b) - left;
  return true;
}

// The band's rows that the rows [first, last] of the whole picture meet.
bool rowsInBand(const RasterBand& band, int top, double first, double last, int& from, int& to) {
  const double a = std::max(std::floor(first), static_cast<double>(band.top) + top);
  const double b = std::min(std::ceil(last), static_cast<double>(band.bottom) + top - 1);
  if (!(a <= b)) return false;
  from = static_cast<int>(a) - top;
  to = static_cast<int>(b) - top;
  return true;
}

}  // namespace

void drawSmoothWideLine(const RasterBand& band, int left, int top, const WideLine& l, const DashTable* dash) {
  double first = 0, last = 0;
  wideLineRows(l, first, last);
  int from = 0, to = 0;
  if (!rowsInBand(band, top, first, last, from, to)) return;
  PixelBuffer& picture = *band.picture;
  const double length = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
  const double dx = length > 0 ? (l.x2 - l.x1) / length : 1;
  const double dy = length > 0 ? (l.y2 - l.y1) / length : 0;
  const double h = l.halfWidth;
  const bool flat = dash != nullptr && length > 0;
  const double alongFrom = flat ? 0 : -h, alongTo = flat ? length : length + h;
  for (int row = from; row <= to; ++row) {
    const double v = row + top + 0.5 - l.y1;
    // Centres within half a pixel of the shape take some of its ink.
    double low = -kUnbounded, high = kUnbounded;
    keepWhere(-dy, dx * v, -h - 0.5, h + 0.5, low, high);
    keepWhere(dx, dy * v, alongFrom - 0.5, alongTo + 0.5, low, high);
    int a = 0, b = 0;
    if (!(low <= high) || !columns(picture, left, l.x1 + low, l.x1 + high, a, b)) continue;
    std::uint32_t* pixels = picture.row(row);
    for (int x = a; x <= b; ++x) {
      const double u = x + left + 0.5 - l.x1;
      const double across = std::fabs(dx * v - dy * u), along = dx * u + dy * v;
      double part = std::min(h + 0.5 - across, 1.0) * std::min(std::min(along - alongFrom, alongTo - along) + 0.5, 1.0);
      if (dash != nullptr) part *= dashPart(*dash, along + l.phase);
      const std::uint32_t w = weightOf(part);
      if (w != 0) pixels[x] = blendPixel(pixels[x], l.pixel, w);
    }
  }
}

void drawSmoothWideRound(const RasterBand& band, int left, int top, const WideRound& r, const DashTable* dash) {
  double first = 0, last = 0;
  wideRoundRows(r, first, last);
  int from = 0, to = 0;
  if (!rowsInBand(band, top, first, last, from, to)) return;
  PixelBuffer& picture = *band.picture;
  const double outer = r.r + r.halfWidth + 0.5;
  const bool whole = r.whole || r.span >= kFullTurn;
  for (int row = from; row <= to; ++row) {
    const double v = row + top + 0.5 - r.cy;
    if (std::fabs(v) > outer) continue;
    const double reach = std::sqrt(outer * outer - v * v);
    int a = 0, b = 0;
    if (!columns(picture, left, r.cx - reach, r.cx + reach, a, b)) continue;
    std::uint32_t* pixels = picture.row(row);
    for (int x = a; x <= b; ++x) {
      const double u = x + left + 0.5 - r.cx;
      double part = r.halfWidth + 0.5 - std::fabs(std::hypot(u, v) - r.r);
      if (part <= 0) continue;
      if (!whole || dash != nullptr) {
        double angle = portableAtan2(-v, u);
        if (angle < 0) angle += kFullTurn;
        double along = whole ? angle : angle - r.start;
        if (along < 0) along += kFullTurn;
        if (!whole && along > r.span) continue;
        if (dash != nullptr) part = std::min(part, 1.0) * dashPart(*dash, along * r.r);
      }
      const std::uint32_t w = weightOf(part);
      if (w != 0) pixels[x] = blendPixel(pixels[x], r.pixel, w);
    }
  }
}

}  // namespace trazo
