#include "raster/round_raster.hpp"

#include "device/portable_trig.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

constexpr double kEighthTurn = kQuarterTurn / 2;

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

// One step of the midpoint walk of the first octant, from (x, y) to y + 1, with d the
// decision value; without a branch, since whether x steps back follows no pattern the
// processor could learn.
inline void midpointStep(std::int32_t& x, std::int32_t& y, std::int32_t& d) {
  ++y;
  const std::int32_t back = -static_cast<std::int32_t>(d >= 0);
  x += back;
  d += 2 * y + 1 - (back & (2 * x));
}

// The midpoint walk: x_k for k = 0, 1, ... from the axis to the diagonal, each handed to
// `visit(k, x_k)`. Returns the number of steps.
template <typename Visit>
std::int64_t midpointWalk(std::int32_t r, Visit visit) {
  std::int32_t x = r, y = 0, d = 1 - r;
  while (x >= y) {
    visit(y, x);
    midpointStep(x, y, d);
  }
  return y;
}

// How the ring's pixels are numbered. Even octants own k = 0 .. K-1; odd ones k = 1 .. c,
// leaving out the pixel on the axis (the next octant's first) and, where the walk ends on
// the diagonal, the pixel there (the previous octant's last).
struct RingNumbers {
  std::int64_t K = 0, c = 0, total = 0;
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

  bool holds(std::int64_t x, std::int64_t y) const { return x >= 0 && x < width && y >= top && y < bottom; }
  void put(std::int64_t x, std::int64_t y) const { pixels[y * stride + x] = pixel; }
};

template <bool kChecked>
void solidCircle(const RasterRound& rd, const Plot& plot) {
  const std::int64_t cx = rd.cx, cy = rd.cy;
  const auto put = [&](std::int64_t x, std::int64_t y) {
    if (!kChecked || plot.holds(x, y)) plot.put(x, y);
  };
  midpointWalk(rd.r, [&](std::int64_t y, std::int64_t x) {
    put(cx + x, cy - y), put(cx + y, cy - x), put(cx - y, cy - x), put(cx - x, cy - y);
    put(cx - x, cy + y), put(cx - y, cy + x), put(cx + y, cy + x), put(cx + x, cy + y);
  });
}

// Steps kFrom .. kTo of one octant, the dash period at kFrom given; it runs up with k in
// even octants and down in odd ones, so that it always follows the ring counter-clockwise.
// The octant is known when compiling, so the walk is a pointer stepping by constants.
// The classic patterns, one bit per pixel of their period, and scaled ones, one byte per
// pixel of theirs.
struct MaskDash {
  std::uint32_t bits;
  static constexpr int period() { return kDashPeriod; }
  std::uint32_t mask(int at) const { return 0u - ((bits >> at) & 1u); }
};
struct TableDash {
  const std::uint8_t* on;
  int length;
  int period() const { return length; }
  std::uint32_t mask(int at) const { return 0u - static_cast<std::uint32_t>(on[at]); }
};

template <bool kChecked, int kOctant, typename Dash>
void octantPiece(const RasterRound& rd, const Plot& plot, std::int64_t kFrom, std::int64_t kTo, int period,
                 const Dash& dash) {
  constexpr Octant o = kOctants[kOctant];
  std::int32_t x = rd.r, y = 0, d = 1 - rd.r;
  while (y < kFrom) midpointStep(x, y, d);
  std::int64_t px = rd.cx + o.sx * (o.swap ? y : x);
  std::int64_t py = rd.cy + o.sy * (o.swap ? x : y);
  // A step of k moves along one axis; x stepping back moves along the other.
  const std::ptrdiff_t kStep = o.swap ? o.sx : o.sy * plot.stride;
  const std::ptrdiff_t backStep = o.swap ? -o.sy * plot.stride : -o.sx;
  // Rings that reach the raster have radii up to 32768 pixels and meet the picture, so the
  // offset of any of their pixels fits a 32-bit ptrdiff_t as well.
  std::ptrdiff_t at = static_cast<std::ptrdiff_t>(py * plot.stride + px);
  for (;;) {
    if (!kChecked || plot.holds(px, py)) {
      const std::uint32_t on = dash.mask(period);
      plot.pixels[at] = (plot.pixels[at] & ~on) | (plot.pixel & on);
    }
    if constexpr (kOctant % 2 == 0) {
      ++period;
      period -= dash.period() & -static_cast<int>(period == dash.period());
    } else {
      --period;
      period += dash.period() & -static_cast<int>(period < 0);
    }
    if (y == kTo) return;
    ++y;
    const std::int32_t back = -static_cast<std::int32_t>(d >= 0);
    x += back;
    d += 2 * y + 1 - (back & (2 * x));
    at += kStep + (backStep & back);
    if constexpr (kChecked) {
      if constexpr (o.swap) {
        px += o.sx;
        py -= o.sy & back;
      } else {
        py += o.sy;
        px -= o.sx & back;
      }
    }
  }
}

template <bool kChecked, typename Dash>
void octantPiece(int octant, const RasterRound& rd, const Plot& plot, std::int64_t kFrom, std::int64_t kTo, int period,
                 const Dash& dash) {
  switch (octant) {
    case 0: return octantPiece<kChecked, 0>(rd, plot, kFrom, kTo, period, dash);
    case 1: return octantPiece<kChecked, 1>(rd, plot, kFrom, kTo, period, dash);
    case 2: return octantPiece<kChecked, 2>(rd, plot, kFrom, kTo, period, dash);
    case 3: return octantPiece<kChecked, 3>(rd, plot, kFrom, kTo, period, dash);
    case 4: return octantPiece<kChecked, 4>(rd, plot, kFrom, kTo, period, dash);
    case 5: return octantPiece<kChecked, 5>(rd, plot, kFrom, kTo, period, dash);
    case 6: return octantPiece<kChecked, 6>(rd, plot, kFrom, kTo, period, dash);
    default: return octantPiece<kChecked, 7>(rd, plot, kFrom, kTo, period, dash);
  }
}

// A dashed circle or an arc: in each octant, the run of steps that lies within the arc,
// with the dash period where the run begins.
template <bool kChecked, typename Dash>
void partialRing(const RasterRound& rd, const Plot& plot, const Dash& dash) {
  RingNumbers ring;
  std::int64_t lastX = 0;
  ring.K = midpointWalk(rd.r, [&](std::int64_t, std::int64_t x) { lastX = x; });
  ring.c = ring.K - 1 - (lastX == ring.K - 1 ? 1 : 0);
  ring.total = 4 * (ring.K + ring.c);

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
      const std::int64_t kFrom = up ? first - low : low + ring.c - last;
      const std::int64_t kTo = up ? last - low : low + ring.c - first;
      const std::int64_t numberAtFrom = up ? first : last;
      const int period = static_cast<int>(((numberAtFrom - start + ring.total) % ring.total) % dash.period());
      octantPiece<kChecked>(octant, rd, plot, kFrom, kTo, period, dash);
    }
  }
}


// Whether the round meets the band at all, and whether its ring leaves the band or the
// picture somewhere, so that each pixel must be checked.
bool roundInBand(const RasterBand& band, const RasterRound& rd, bool& checked) {
  const PixelBuffer& picture = *band.picture;
  const std::int64_t r = rd.r;
  if (band.top >= band.bottom || picture.width() == 0) return false;
  if (rd.cy + r < band.top || rd.cy - r >= band.bottom || rd.cx + r < 0 || rd.cx - r >= picture.width()) return false;
  checked = rd.cy - r < band.top || rd.cy + r >= band.bottom || rd.cx - r < 0 || rd.cx + r >= picture.width();
  return true;
}

Plot plotFor(const RasterBand& band, const RasterRound& rd) {
  PixelBuffer& picture = *band.picture;
  return {picture.row(0), picture.width(), picture.width(), band.top, band.bottom, rd.pixel};
}

}  // namespace

void drawRound(const RasterBand& band, const RasterRound& rd) {
  bool checked = false;
  if (!roundInBand(band, rd, checked)) return;
  const Plot plot = plotFor(band, rd);
  if (rd.r <= 0) {
    plot.put(rd.cx, rd.cy);
  } else if (rd.dash == DashPattern::solid && (rd.whole || rd.span >= kFullTurn)) {
    checked ? solidCircle<true>(rd, plot) : solidCircle<false>(rd, plot);
  } else {
    const MaskDash dash{dashBits(rd.dash)};
    checked ? partialRing<true>(rd, plot, dash) : partialRing<false>(rd, plot, dash);
  }
}

void drawRound(const RasterBand& band, const RasterRound& rd, const DashTable& table) {
  bool checked = false;
  if (!roundInBand(band, rd, checked)) return;
  const Plot plot = plotFor(band, rd);
  if (rd.r <= 0) {
    plot.put(rd.cx, rd.cy);
    return;
  }
  const TableDash dash{table.on.data(), table.period()};
  checked ? partialRing<true>(rd, plot, dash) : partialRing<false>(rd, plot, dash);
}

}  // namespace trazo
