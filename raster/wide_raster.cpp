#include "raster/wide_raster.hpp"

#include "device/portable_trig.hpp"
#include "raster/wide_pen_shape.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {

using wide_pen::columns;
using wide_pen::keepWhere;
using wide_pen::kUnbounded;

void wideLineRows(const WideLine& l, double& first, double& last) {
  first = std::min(l.y1, l.y2) - l.halfWidth - 1;
  last = std::max(l.y1, l.y2) + l.halfWidth + 1;
}

void wideRoundRows(const WideRound& r, double& first, double& last) {
  first = r.cy - r.r - r.halfWidth - 1;
  last = r.cy + r.r + r.halfWidth + 1;
}

void drawWideLine(const RasterBand& band, int left, int top, const WideLine& l, const DashTable* dash) {
  int from = 0, to = 0;
  if (!wide_pen::bandRows(band, top, l, from, to)) return;
  PixelBuffer& picture = *band.picture;
  const wide_pen::LineFrame f = wide_pen::lineFrame(l, dash != nullptr);
  const double h = l.halfWidth;
  for (int row = from; row <= to; ++row) {
    const double v = row + top + 0.5 - l.y1;  // the pixel centre's height above the first point
    double low = -kUnbounded, high = kUnbounded;
    keepWhere(-f.dy, f.dx * v, -h, h, low, high);
    keepWhere(f.dx, f.dy * v, f.alongFrom, f.alongTo, low, high);
    int a = 0, b = 0;
    if (!(low <= high) || !columns(picture, left, l.x1 + low, l.x1 + high, a, b)) continue;
    std::uint32_t* pixels = picture.row(row);
    if (dash == nullptr) {
      std::fill(pixels + a, pixels + b + 1, l.pixel);
      continue;
    }
    // Each pixel's own position along the line, so that a pixel does not depend on where
    // the window or the band begins.
    for (int x = a; x <= b; ++x) {
      if (dash->at((x + left + 0.5 - l.x1) * f.dx + v * f.dy + l.phase)) pixels[x] = l.pixel;
    }
  }
}

void drawWideRound(const RasterBand& band, int left, int top, const WideRound& r, const DashTable* dash) {
  int from = 0, to = 0;
  if (!wide_pen::bandRows(band, top, r, from, to)) return;
  PixelBuffer& picture = *band.picture;
  const double outer = r.r + r.halfWidth, inner = r.r - r.halfWidth;
  const bool whole = r.whole || r.span >= kFullTurn;
  const bool eachPixel = !whole || dash != nullptr;
  for (int row = from; row <= to; ++row) {
    const double v = row + top + 0.5 - r.cy;
    if (std::fabs(v) > outer) continue;
    const double reach = std::sqrt(outer * outer - v * v);
    const double hole = inner > 0 && std::fabs(v) < inner ? std::sqrt(inner * inner - v * v) : -1;
    std::uint32_t* pixels = picture.row(row);
    // Left of the hole and right of it, or the whole chord where the row misses the hole.
    const double spans[2][2] = {{-reach, hole >= 0 ? -hole : reach}, {hole >= 0 ? hole : 1, hole >= 0 ? reach : 0}};
    for (const auto& span : spans) {
      int a = 0, b = 0;
      if (span[0] > span[1] || !columns(picture, left, r.cx + span[0], r.cx + span[1], a, b)) continue;
      if (!eachPixel) {
        std::fill(pixels + a, pixels + b + 1, r.pixel);
        continue;
      }
      for (int x = a; x <= b; ++x) {
        double along = 0;
        if (!wide_pen::alongRound(r, whole, x + left + 0.5 - r.cx, v, along)) continue;
        if (dash != nullptr && !dash->at(along * r.r)) continue;
        pixels[x] = r.pixel;
      }
    }
  }
}

}  // namespace trazo
