#include "raster/smooth_wide.hpp"

#include "device/portable_trig.hpp"
#include "raster/blend.hpp"
#include "raster/wide_pen_shape.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

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

}  // namespace

using wide_pen::columns;
using wide_pen::keepWhere;
using wide_pen::kUnbounded;

void drawSmoothWideLine(const RasterBand& band, int left, int top, const WideLine& l, const DashTable* dash) {
  int from = 0, to = 0;
  if (!wide_pen::bandRows(band, top, l, from, to)) return;
  PixelBuffer& picture = *band.picture;
  const wide_pen::LineFrame f = wide_pen::lineFrame(l, dash != nullptr);
  const double dx = f.dx, dy = f.dy, alongFrom = f.alongFrom, alongTo = f.alongTo;
  const double h = l.halfWidth;
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
  int from = 0, to = 0;
  if (!wide_pen::bandRows(band, top, r, from, to)) return;
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
        double along = 0;
        if (!wide_pen::alongRound(r, whole, u, v, along)) continue;
        if (dash != nullptr) part = std::min(part, 1.0) * dashPart(*dash, along * r.r);
      }
      const std::uint32_t w = weightOf(part);
      if (w != 0) pixels[x] = blendPixel(pixels[x], r.pixel, w);
    }
  }
}

}  // namespace trazo
