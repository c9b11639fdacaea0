#include "raster/round_raster.hpp"

#include "raster/dash_mask.hpp"
#include "raster/ring_steps.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

using namespace ring;

// Where the pixels go, read once per ring, and how they are put there (dash_mask.hpp).
template <typename Write>
struct Plot {
  std::uint32_t* pixels;
  std::ptrdiff_t stride;
  std::int64_t width, top, bottom;
  std::uint32_t pixel;

  void put(std::int64_t x, std::int64_t y) const {
    std::uint32_t& at = pixels[y * stride + x];
    at = Write::put(at, pixel, ~0u);
  }
};

// The ring whole and solid where it lies inside the band and the picture: one walk of the
// first octant placing all eight.
template <typename Write>
void solidCircle(const RasterRound& rd, const Plot<Write>& plot) {
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
template <int kOctant, typename Write, typename Dash>
void octantPiece(const RasterRound& rd, const Plot<Write>& plot, i64 kFrom, i64 kTo, int period, const Dash& dash) {
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
    *at = Write::put(*at, plot.pixel, on);
    period = kOctant % 2 == 0 ? nextInPeriod(dash, period) : previousInPeriod(dash, period);
    if (y == kTo) return;
    ++y;
    const std::int32_t back = -static_cast<std::int32_t>(d >= 0);
    x += back;
    d += 2 * y + 1 - (back & (2 * x));
    at += kStep + (backStep & back);
  }
}

template <typename Write, typename Dash>
void octantPiece(int octant, const RasterRound& rd, const Plot<Write>& plot, i64 kFrom, i64 kTo, int period,
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

// The ring's pixels in the band and the picture, with the dash period where each piece
// begins.
template <typename Write, typename Dash>
void ringInPlot(const RasterRound& rd, const Plot<Write>& plot, const Dash& dash) {
  const ring::ClipBounds bounds{plot.top, plot.bottom - 1, 0, plot.width - 1};
  ring::forEachRingPiece(rd, bounds, 0, [&](int octant, i64 kFrom, i64 kTo, std::int64_t along, const RingNumbers&) {
    octantPiece(octant, rd, plot, kFrom, kTo, static_cast<int>(along % dash.period()), dash);
  });
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

template <typename Write = Over>
Plot<Write> plotFor(const RasterBand& band, const RasterRound& rd) {
  PixelBuffer& picture = *band.picture;
  return {picture.row(0), picture.width(), picture.width(), band.top, band.bottom, rd.pixel};
}

template <typename Write>
void drawClassicRound(const RasterBand& band, const RasterRound& rd) {
  bool clipped = false;
  if (!roundInBand(band, rd, clipped)) return;
  const Plot<Write> plot = plotFor<Write>(band, rd);
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

}  // namespace

void drawRound(const RasterBand& band, const RasterRound& rd) { drawClassicRound<Over>(band, rd); }
void drawRoundUnder(const RasterBand& band, const RasterRound& rd) { drawClassicRound<Under>(band, rd); }

void drawRound(const RasterBand& band, const RasterRound& rd, const DashTable& table) {
  bool clipped = false;
  if (!roundInBand(band, rd, clipped)) return;
  const Plot<Over> plot = plotFor(band, rd);
  if (rd.r <= 0) {
    plot.put(rd.cx, rd.cy);
    return;
  }
  ringInPlot(rd, plot, TableDash{table.on.data(), table.period()});
}

}  // namespace trazo
