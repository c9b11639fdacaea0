#include "raster/round_raster.hpp"

#include "device/portable_trig.hpp"
#include "raster/dash_mask.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

using i64 = std::int64_t;

// The eight octants, counter-clockwise on the screen from +X. The midpoint walk gives, for
// k = 0, 1, ..., the points (x_k, k) of the first octant; octant o places them at
// (cx + sx * (swap ? k : x_k), cy + sy * (swap ? x_k : k)). Even octants run with k, odd
// ones against it.
struct Octant {
  bool swap;
  int sx, sy;
};
constexpr Octant kOctants[8] = {{false, 1, -1}, {true, 1, -1}, {true, -1, -1}, {false, -1, -1},
                                {false, -1, 1}, {true, -1, 1}, {true, 1, 1},   {false, 1, 1}};

// The largest s with s * s <= n, for n >= 0.
i64 floorSqrt(i64 n) {
  auto s = static_cast<i64>(std::sqrt(static_cast<double>(n)));
  while (s * s > n) --s;
  while ((s + 1) * (s + 1) <= n) ++s;
  return s;
}

// The midpoint walk of the first octant keeps x while the midpoint (x - 1/2, k) of the next
// row lies inside the circle, and steps back otherwise; its decision value at step k is
// x (x - 1) + (k + 1)^2 - r^2. So x_k is the largest x with x (x - 1) + k^2 < r^2, and
// any step of the walk can be reached without walking to it. k < r.
i64 xAt(i64 r, i64 k) { return (1 + floorSqrt(4 * (r * r - k * k) - 3)) / 2; }
i64 decisionAt(i64 r, i64 x, i64 k) { return x * (x - 1) + (k + 1) * (k + 1) - r * r; }

// The last step whose x_k is at least `low`, -1 for none; the first whose x_k is at most
// `high`, beyond any step for none. 0 <= low, high <= r.
i64 lastStepReaching(i64 r, i64 low) {
  const i64 n = r * r - low * (low - 1) - 1;
  return n < 0 ? -1 : floorSqrt(n);
}
i64 firstStepWithin(i64 r, i64 high) {
  const i64 n = r * r - (high + 1) * high - 1;
  return n < 0 ? 0 : floorSqrt(n) + 1;
}

// How the ring's pixels are numbered. Even octants own k = 0 .. K-1, the steps of the walk
// (it runs while x_k >= k); odd ones k = 1 .. c, leaving out the pixel on the axis (the next
// octant's first) and, where the walk ends on the diagonal, the pixel there (the previous
// octant's last).
struct RingNumbers {
  std::int64_t K = 0, c = 0, total = 0;
  std::int64_t lastX = 0;  // x_(K-1), the least x of the octant

  explicit RingNumbers(i64 r) {
    // x_k >= k, that is 2 k^2 - k < r^2, for k = 0 .. K-1.
    const i64 most = r * r - 1;
    auto k = static_cast<i64>((1 + std::sqrt(1 + 8 * static_cast<double>(most))) / 4);
    while (2 * k * k - k > most) --k;
    while (2 * (k + 1) * (k + 1) - (k + 1) <= most) ++k;
    K = k + 1;
    lastX = xAt(r, K - 1);
    c = K - 1 - (lastX == K - 1 ? 1 : 0);
    total = 4 * (K + c);
  }
  std::int64_t base(int octant) const { return (octant / 2) * (K + c) + (octant % 2 ? K : 0); }
  // The number of the pixel at step k of an octant.
  std::int64_t number(int octant, std::int64_t k) const { return octant % 2 ? base(octant) + c - k : base(octant) + k; }

  // The number of the pixel where the ring meets the direction `angle` (in [0, one turn)).
  std::int64_t at(double angle, std::int32_t r) const {
    const int octant = std::clamp(static_cast<int>(angle / kEighthTurn), 0, 7);
    if (octant % 2 == 0) {
      const double from = angle - octant * kEighthTurn;
      const std::int64_t k = static_cast<std::int64_t>(std::floor(r * portableSinCos(from).sin + 0.5));
      return base(octant) + std::clamp<std::int64_t>(k, 0, K - 1);
    }
    const double to = (octant + 1) * kEighthTurn - angle;
    const std::int64_t k = static_cast<std::int64_t>(std::floor(r * portableSinCos(to).sin + 0.5));
    const std::int64_t n = std::clamp(base(octant) + c - k, base(octant) - 1, base(octant) + c);
    return (n + total) % total;
  }
};

// Where the pixels go, read once per ring.
struct Plot {
  std::uint32_t* pixels;
  std::ptrdiff_t stride;
  std::int64_t width, top, bottom;
  std::uint32_t pixel;

  void put(std::int64_t x, std::int64_t y) const { pixels[y * stride + x] = pixel; }
};

// The ring whole and solid where it lies inside the band and the picture: one walk of the
// first octant placing all eight.
void solidCircle(const RasterRound& rd, const Plot& plot) {
  const std::int64_t cx = rd.cx, cy = rd.cy;
  const auto put = [&plot](std::int64_t x, std::int64_t y) { plot.put(x, y); };
  std::int32_t x = rd.r, y = 0, d = 1 - rd.r;
  while (x >= y) {
    put(cx + x, cy - y), put(cx + y, cy - x), put(cx - y, cy - x), put(cx - x, cy - y);
    put(cx - x, cy + y), put(cx - y, cy + x), put(cx + y, cy + x), put(cx + x, cy + y);
    ++y;
    const std::int32_t back = -static_cast<std::int32_t>(d >= 0);
    x += back;
    d += 2 * y + 1 - (back & (2 * x));
  }
}

// Steps kFrom .. kTo of one octant, all in the band and the picture, the dash period at kFrom
// given; it runs up with k in even octants and down in odd ones, so that it always follows
// the ring counter-clockwise. The octant is known when compiling, so the walk is a pointer
// stepping by constants.
template <int kOctant, typename Dash>
void octantPiece(const RasterRound& rd, const Plot& plot, i64 kFrom, i64 kTo, int period, const Dash& dash) {
  constexpr Octant o = kOctants[kOctant];
  const i64 startX = xAt(rd.r, kFrom);
  auto x = static_cast<std::int32_t>(startX), y = static_cast<std::int32_t>(kFrom);
  auto d = static_cast<std::int32_t>(decisionAt(rd.r, startX, kFrom));
  const i64 px = rd.cx + o.sx * (o.swap ? y : x);
  const i64 py = rd.cy + o.sy * (o.swap ? x : y);
  // A step of k moves along one axis; x stepping back moves along the other.
  const std::ptrdiff_t kStep = o.swap ? o.sx : o.sy * plot.stride;
  const std::ptrdiff_t backStep = o.swap ? -o.sy * plot.stride : -o.sx;
  std::uint32_t* at = plot.pixels + static_cast<std::ptrdiff_t>(py) * plot.stride + static_cast<std::ptrdiff_t>(px);
  for (;;) {
    const std::uint32_t on = dash.mask(period);
    *at = (*at & ~on) | (plot.pixel & on);
    period = kOctant % 2 == 0 ? nextInPeriod(dash, period) : previousInPeriod(dash, period);
    if (y == kTo) return;
    ++y;
    const std::int32_t back = -static_cast<std::int32_t>(d >= 0);
    x += back;
    d += 2 * y + 1 - (back & (2 * x));
    at += kStep + (backStep & back);
  }
}

template <typename Dash>
void octantPiece(int octant, const RasterRound& rd, const Plot& plot, i64 kFrom, i64 kTo, int period,
                 const Dash& dash) {
  switch (octant) {
    case 0: return octantPiece<0>(rd, plot, kFrom, kTo, period, dash);
    case 1: return octantPiece<1>(rd, plot, kFrom, kTo, period, dash);
    case 2: return octantPiece<2>(rd, plot, kFrom, kTo, period, dash);
    case 3: return octantPiece<3>(rd, plot, kFrom, kTo, period, dash);
    case 4: return octantPiece<4>(rd, plot, kFrom, kTo, period, dash);
    case 5: return octantPiece<5>(rd, plot, kFrom, kTo, period, dash);
    case 6: return octantPiece<6>(rd, plot, kFrom, kTo, period, dash);
    default: return octantPiece<7>(rd, plot, kFrom, kTo, period, dash);
  }
}

// Narrows [from, to] to the steps of `octant` whose pixels lie in the band's rows and the
// picture's columns: along k the coordinate moves one pixel a step, along x it follows the
// walk, whose steps for a range of x are found from x_k's closed form.
void clipToPlot(int octant, const RasterRound& rd, const RingNumbers& ring, const Plot& plot, i64& from, i64& to) {
  const Octant& o = kOctants[octant];
  const i64 rowLow = plot.top, rowHigh = plot.bottom - 1, columnLow = 0, columnHigh = plot.width - 1;
  // The coordinate that moves with k: centre + sign * k in [low, high].
  {
    const i64 centre = o.swap ? rd.cx : rd.cy;
    const int sign = o.swap ? o.sx : o.sy;
    const i64 low = o.swap ? columnLow : rowLow, high = o.swap ? columnHigh : rowHigh;
    from = std::max(from, sign > 0 ? low - centre : centre - high);
    to = std::min(to, sign > 0 ? high - centre : centre - low);
    if (from > to) return;
  }
  // The coordinate that moves with x_k.
  const i64 centre = o.swap ? rd.cy : rd.cx;
  const int sign = o.swap ? o.sy : o.sx;
  const i64 low = o.swap ? rowLow : columnLow, high = o.swap ? rowHigh : columnHigh;
  const i64 xLow = sign > 0 ? low - centre : centre - high, xHigh = sign > 0 ? high - centre : centre - low;
  const i64 r = rd.r;
  if (xLow > r || xHigh < ring.lastX) {
    to = from - 1;
    return;
  }
  if (xLow > ring.lastX) to = std::min(to, lastStepReaching(r, xLow));
  if (xHigh < r) from = std::max(from, firstStepWithin(r, xHigh));
}

// The ring's pixels in the band, octant by octant: in each, the run of steps that lies
// within the arc (all of them for a whole circle) and within the band and the picture, with
// the dash period where the run begins.
template <typename Dash>
void ringInPlot(const RasterRound& rd, const Plot& plot, const Dash& dash) {
  const RingNumbers ring(rd.r);
  std::int64_t start = 0, length = ring.total;
  if (!rd.whole && rd.span < kFullTurn) {
    const double from = rd.start;
    double to = from + double{rd.span};
    if (to >= kFullTurn) to -= kFullTurn;
    start = ring.at(from, rd.r);
    const std::int64_t end = ring.at(to, rd.r);
    length = (end - start + ring.total) % ring.total + 1;
    if (length == 1 && rd.span > kHalfTurn) length = ring.total;
  }
  // The arc as up to two runs of numbers that do not wrap.
  const std::int64_t runs[2][2] = {{start, std::min(start + length, ring.total) - 1},
                                   {0, start + length - ring.total - 1}};
  for (int octant = 0; octant < 8; ++octant) {
    const bool up = octant % 2 == 0;
    const std::int64_t low = ring.base(octant), high = low + (up ? ring.K : ring.c) - 1;
    for (const auto& run : runs) {
      const std::int64_t first = std::max(low, run[0]), last = std::min(high, run[1]);
      if (first > last) continue;
      // Numbers to steps: even octants number = base + k, odd ones number = base + c - k.
      i64 kFrom = up ? first - low : low + ring.c - last;
      i64 kTo = up ? last - low : low + ring.c - first;
      clipToPlot(octant, rd, ring, plot, kFrom, kTo);
      if (kFrom > kTo) continue;
      const std::int64_t number = ring.number(octant, kFrom);
      const int period = static_cast<int>(((number - start + ring.total) % ring.total) % dash.period());
      octantPiece(octant, rd, plot, kFrom, kTo, period, dash);
    }
  }
}

// Whether the round meets the band at all, and whether its ring leaves the band or the
// picture somewhere, so that its steps must be cut to them.
bool roundInBand(const RasterBand& band, const RasterRound& rd, bool& clipped) {
  const PixelBuffer& picture = *band.picture;
  const std::int64_t r = rd.r;
  if (band.top >= band.bottom || picture.width() == 0) return false;
  if (rd.cy + r < band.top || rd.cy - r >= band.bottom || rd.cx + r < 0 || rd.cx - r >= picture.width()) return false;
  clipped = rd.cy - r < band.top || rd.cy + r >= band.bottom || rd.cx - r < 0 || rd.cx + r >= picture.width();
  return true;
}

Plot plotFor(const RasterBand& band, const RasterRound& rd) {
  PixelBuffer& picture = *band.picture;
  return {picture.row(0), picture.width(), picture.width(), band.top, band.bottom, rd.pixel};
}

}  // namespace

void drawRound(const RasterBand& band, const RasterRound& rd) {
  bool clipped = false;
  if (!roundInBand(band, rd, clipped)) return;
  const Plot plot = plotFor(band, rd);
  if (rd.r <= 0) {
    plot.put(rd.cx, rd.cy);
  } else if (rd.dash == DashPattern::solid && (rd.whole || rd.span >= kFullTurn)) {
    clipped ? ringInPlot(rd, plot, NoDash{}) : solidCircle(rd, plot);
  } else if (rd.dash == DashPattern::solid) {
    ringInPlot(rd, plot, NoDash{});
  } else {
    ringInPlot(rd, plot, MaskDash{dashBits(rd.dash)});
  }
}

void drawRound(const RasterBand& band, const RasterRound& rd, const DashTable& table) {
  bool clipped = false;
  if (!roundInBand(band, rd, clipped)) return;
  const Plot plot = plotFor(band, rd);
  if (rd.r <= 0) {
    plot.put(rd.cx, rd.cy);
    return;
  }
  ringInPlot(rd, plot, TableDash{table.on.data(), table.period()});
}

}  // namespace trazo
