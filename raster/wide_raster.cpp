#include "raster/wide_raster.hpp"

#include "device/portable_trig.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazo {
namespace {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

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
  const double lowest = left, highest = static_cast<double>(left) + picture.width() - 1;
  const double a = std::max(std::ceil(xLow - 0.5), lowest);
  const double b = std::min(std::floor(xHigh - 0.5), highest);
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

void wideLineRows(const WideLine& l, double& first, double& last) {
  first = std::min(l.y1, l.y2) - l.halfWidth - 1;
  last = std::max(l.y1, l.y2) + l.halfWidth + 1;
}

void wideRoundRows(const WideRound& r, double& first, double& last) {
  first = r.cy - r.r - r.halfWidth - 1;
  last = r.cy + r.r + r.halfWidth + 1;
}

void drawWideLine(const RasterBand& band, int left, int top, const WideLine& l, const DashTable* dash) {
  double first = 0, last = 0;
  wideLineRows(l, first, last);
  int from = 0, to = 0;
  if (!rowsInBand(band, top, first, last, from, to)) return;
  PixelBuffer& picture = *band.picture;
  const double length = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
  // Along the line (dx, dy), across it (-dy, dx); a line of no length is a square.
  const double dx = length > 0 ? (l.x2 - l.x1) / length : 1;
  const double dy = length > 0 ? (l.y2 - l.y1) / length : 0;
  const double h = l.halfWidth;
  const bool flat = dash != nullptr && length > 0;
  const double alongFrom = flat ? 0 : -h, alongTo = flat ? length : length + h;
  for (int row = from; row <= to; ++row) {
    const double v = row + top + 0.5 - l.y1;  // the pixel centre's height above the first point
    double low = -kUnbounded, high = kUnbounded;
    keepWhere(-dy, dx * v, -h, h, low, high);
    keepWhere(dx, dy * v, alongFrom, alongTo, low, high);
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
      if (dash->at((x + left + 0.5 - l.x1) * dx + v * dy + l.phase)) pixels[x] = l.pixel;
    }
  }
}

void drawWideRound(const RasterBand& band, int left, int top, const WideRound& r, const DashTable* dash) {
  double first = 0, last = 0;
  wideRoundRows(r, first, last);
  int from = 0, to = 0;
  if (!rowsInBand(band, top, first, last, from, to)) return;
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
        double angle = portableAtan2(-v, x + left + 0.5 - r.cx);
        if (angle < 0) angle += kFullTurn;
        double along = whole ? angle : angle - r.start;
        if (along < 0) along += kFullTurn;
        if (!whole && along > r.span) continue;
        if (dash != nullptr && !dash->at(along * r.r)) continue;
        pixels[x] = r.pixel;
      }
    }
  }
}

}  // namespace trazo
