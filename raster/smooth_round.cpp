#include "raster/smooth_round.hpp"

#include "raster/blend.hpp"
#include "raster/ring_steps.hpp"
#include "raster/smooth_dash.hpp"

#include <array>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trazo {
namespace {

using namespace ring;

// Where the pixels go: the buffer and the rows and columns of it this band may write.
struct SmoothPlot {
  std::uint32_t* pixels;
  std::ptrdiff_t stride;
  ClipBounds bounds;
  std::uint32_t colour;

  void blend(i64 x, i64 y, std::uint32_t weight) const {
    if (x < bounds.columnLow || x > bounds.columnHigh || y < bounds.rowLow || y > bounds.rowHigh) return;
    std::uint32_t& p = pixels[static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x)];
    p = blendPixel(p, colour, weight);
  }
};

// The ring's distance out at step k in 256ths of a pixel, rounded down: the whole pixels
// and the part past them, exactly as taking them from the root apart would give them
// (scaling by 256 is exact, and the root's fraction is the root less its whole part).
// `rest` is r^2 - k^2.
inline i64 distanceOut(i64 rest) { return static_cast<i64>(std::sqrt(static_cast<double>(rest)) * 256); }

// The distances are the same at step k of every octant: worked out once a ring, for the
// steps its pieces take, up to a table's length of them. A ring cut by a band's edges takes
// only steps far from 0, so the table holds one run of steps, grown at either end as asked.
class RingDistances {
 public:
  explicit RingDistances(i64 r) : r2_(r * r) {}
  // The table, indexed by step, holding at least steps `from` .. `last`; null where it is
  // too short.
  const i64* over(i64 from, i64 last) {
    if (last >= kLength) return nullptr;
    if (low_ > high_) {  // nothing yet: an empty run where this one starts
      low_ = from;
      high_ = from - 1;
    }
    if (from < low_) {
      fill(from, low_ - 1);
      low_ = from;
    }
    if (last > high_) {
      fill(high_ + 1, last);
      high_ = last;
    }
    return at_.data();
  }

 private:
  void fill(i64 from, i64 last) {
    i64 k = from;
#if defined(__SSE2__)
    // Two roots at once: each rounded as the one alone is, so the same distances.
    for (; k < last; k += 2) {
      const __m128d rest = _mm_set_pd(static_cast<double>(r2_ - (k + 1) * (k + 1)), static_cast<double>(r2_ - k * k));
      const __m128d out = _mm_mul_pd(_mm_sqrt_pd(rest), _mm_set1_pd(256));
      at_[static_cast<std::size_t>(k)] = static_cast<i64>(_mm_cvtsd_f64(out));
      at_[static_cast<std::size_t>(k + 1)] = static_cast<i64>(_mm_cvtsd_f64(_mm_unpackhi_pd(out, out)));
    }
#endif
    for (; k <= last; ++k) at_[static_cast<std::size_t>(k)] = distanceOut(r2_ - k * k);
  }
  static constexpr i64 kLength = 256;
  i64 r2_;
  i64 low_ = 0, high_ = -1;  // the steps worked out; none yet
  std::array<i64, kLength> at_;
};

// A drawing's rings are mostly small, and small radii are few: the numbers and the distances
// of every ring below kSmallRadius are worked out once, when the program loads, so that the
// bands that read them draw without working them out again, or allocating.
constexpr i64 kSmallRadius = 128;
// Steps 0 .. 90: an octant of a ring below kSmallRadius ends before r / sqrt(2) + 1.
constexpr i64 kSmallSteps = 91;
struct SmallRings {
  struct Ring {
    RingNumbers numbers;
    std::array<i64, kSmallSteps> distances;
  };
  std::array<Ring, kSmallRadius> of;
  SmallRings() {
    for (i64 r = 1; r < kSmallRadius; ++r) {
      Ring& ring = of[static_cast<std::size_t>(r)];
      ring.numbers = RingNumbers(r);
      for (i64 k = 0; k < kSmallSteps; ++k)
        ring.distances[static_cast<std::size_t>(k)] = k <= r ? distanceOut(r * r - k * k) : 0;
    }
  }
};
const SmallRings smallRings;

// Steps kFrom .. kTo of one octant, the dash period at kFrom given, following the ring
// counter-clockwise as the aliased walk does; each pixel checked against the bounds unless
// `kChecked` is false, for steps whose pixels all lie inside them. The octant is known when
// compiling, so that a step and a pixel outwards are constant offsets. `distances` holds
// those of every step here, or is null for them to be worked out on the way.
template <int kOctant, bool kChecked, typename Dash>
void smoothOctantPiece(const RasterRound& rd, const SmoothPlot& plot, const i64* distances, i64 kFrom, i64 kTo,
                       int period, const Dash& dash) {
  constexpr Octant o = kOctants[kOctant];
  constexpr bool fromAxis = kOctant % 2 == 0;
  const std::ptrdiff_t kStep = o.swap ? o.sx : o.sy * plot.stride;
  const std::ptrdiff_t xStep = o.swap ? o.sy * plot.stride : o.sx;
  const i64 r2 = i64{rd.r} * rd.r;
  // Kept here rather than read through `plot` at each step: the pixels written might be
  // them, as far as the compiler can tell.
  std::uint32_t* const pixels = plot.pixels;
  const std::uint32_t colour = plot.colour;
  // A pixel out from the centre lies beside the one before it in memory where steps go up
  // or down the picture.
  constexpr FarPixel kFar = o.swap ? FarPixel::apart : o.sx > 0 ? FarPixel::next : FarPixel::previous;
  const PairBlend pen(colour);
  // Carried from step to step: the offset of the ring's point on the axis of step k (wide
  // enough for a ring far outside the picture, whose steps here are all checked), and
  // r^2 - k^2.
  i64 along = i64{rd.cy} * plot.stride + rd.cx + kFrom * kStep;
  i64 rest = r2 - kFrom * kFrom;
  for (i64 k = kFrom; k <= kTo; ++k) {
    // A gap of the pattern is passed over in one go: its steps would draw nothing.
    if (const int gap = fromAxis ? dash.gapAhead(period) : dash.gapBehind(period); gap != 0) {
      k += gap - 1;
      along += gap * kStep;
      rest = r2 - (k + 1) * (k + 1);
      period = fromAxis ? period + gap : period - gap;
      if (period == dash.period()) period = 0;
      if (period < 0) period += dash.period();
      continue;
    }
    const i64 distance = distances != nullptr ? distances[k] : distanceOut(rest);
    const i64 inner = distance >> 8;
    const auto past = static_cast<std::uint32_t>(distance & 255);
    const std::uint32_t ink = dash.weight(period);
    // The diagonal belongs to the octant that runs from an axis: a pixel x out is drawn from
    // x >= k there, from x > k in the other.
    const i64 least = fromAxis ? k : k + 1;
    if (kChecked) {
      const std::uint32_t weights[2] = {nearWeight(past, ink), farWeight(past, ink)};
      for (int i = 0; i < 2; ++i) {
        const i64 x = inner + i;
        if (weights[i] == 0 || x < least) continue;
        plot.blend(rd.cx + o.sx * (o.swap ? k : x), rd.cy + o.sy * (o.swap ? x : k), weights[i]);
      }
    } else {
      std::uint32_t* near = pixels + static_cast<std::ptrdiff_t>(along) + static_cast<std::ptrdiff_t>(inner) * xStep;
      if (inner >= least) {
        pen.blend<kFar>(near, xStep, past, ink);
      } else if (inner + 1 >= least) {
        near[xStep] = blendPixel(near[xStep], colour, farWeight(past, ink));
      }
    }
    along += kStep;
    rest -= 2 * k + 1;
    period = fromAxis ? smoothNext(dash, period) : smoothPrevious(dash, period);
  }
}

template <bool kChecked, typename Dash>
void smoothOctantPiece(int octant, const RasterRound& rd, const SmoothPlot& plot, const i64* distances, i64 kFrom,
                       i64 kTo, int period, const Dash& dash) {
  switch (octant) {
    case 0: return smoothOctantPiece<0, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    case 1: return smoothOctantPiece<1, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    case 2: return smoothOctantPiece<2, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    case 3: return smoothOctantPiece<3, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    case 4: return smoothOctantPiece<4, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    case 5: return smoothOctantPiece<5, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    case 6: return smoothOctantPiece<6, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
    default: return smoothOctantPiece<7, kChecked>(rd, plot, distances, kFrom, kTo, period, dash);
  }
}

template <typename Dash>
void smoothRing(const RasterBand& band, const RasterRound& rd, const Dash& dash) {
  const PixelBuffer& picture = *band.picture;
  const SmoothPlot plot{
      band.picture->row(0), picture.width(), {band.top, band.bottom - 1, 0, picture.width() - 1}, rd.pixel};
  if (rd.r <= 0) {
    plot.blend(rd.cx, rd.cy, 256);
    return;
  }
  // Each step's pixels lie within a pixel of the aliased ring's there: the pieces reach a
  // pixel past the bounds, and their steps whose aliased pixel lies a pixel inside them are
  // drawn without checks. Most rings lie whole within the bounds, a pixel to spare: then
  // every step is.
  const i64 r = rd.r;
  const bool wellInside = rd.cx - r - 1 >= plot.bounds.columnLow && rd.cx + r + 1 <= plot.bounds.columnHigh &&
                          rd.cy - r - 1 >= plot.bounds.rowLow && rd.cy + r + 1 <= plot.bounds.rowHigh;
  const SmallRings::Ring* const small = r < kSmallRadius ? &smallRings.of[static_cast<std::size_t>(r)] : nullptr;
  RingDistances ringDistances(r);
  forEachRingPiece(
      rd, small != nullptr ? small->numbers : RingNumbers(r), plot.bounds, 1,
      [&](int octant, i64 kFrom, i64 kTo, std::int64_t along, const RingNumbers& ring) {
        const i64* const distances =
            small != nullptr && kTo < kSmallSteps ? small->distances.data() : ringDistances.over(kFrom, kTo);
        const bool up = octant % 2 == 0;
        const auto periodAt = [&](i64 k) {
          return static_cast<int>(((along + (up ? k - kFrom : kFrom - k)) % dash.period() + dash.period()) %
                                  dash.period());
        };
        if (wellInside) {
          // `along` is never negative: the place at kFrom is one remainder.
          const auto atFrom =
              static_cast<int>(static_cast<std::uint64_t>(along) % static_cast<unsigned>(dash.period()));
          smoothOctantPiece<false>(octant, rd, plot, distances, kFrom, kTo, atFrom, dash);
          return;
        }
        i64 insideFrom = kFrom, insideTo = kTo;
        clipSteps(octant, rd, ring, plot.bounds, -1, insideFrom, insideTo);
        if (insideFrom > insideTo) {
          smoothOctantPiece<true>(octant, rd, plot, distances, kFrom, kTo, periodAt(kFrom), dash);
          return;
        }
        smoothOctantPiece<true>(octant, rd, plot, distances, kFrom, insideFrom - 1, periodAt(kFrom), dash);
        smoothOctantPiece<false>(octant, rd, plot, distances, insideFrom, insideTo, periodAt(insideFrom), dash);
        smoothOctantPiece<true>(octant, rd, plot, distances, insideTo + 1, kTo, periodAt(insideTo + 1), dash);
      });
}

bool meetsBand(const RasterBand& band, const RasterRound& rd) {
  const PixelBuffer& picture = *band.picture;
  const i64 r = rd.r;
  return band.top < band.bottom && picture.width() > 0 && rd.cy + r >= band.top && rd.cy - r < band.bottom &&
         rd.cx + r >= 0 && rd.cx - r < picture.width();
}

}  // namespace

void drawSmoothRound(const RasterBand& band, const RasterRound& rd) {
  if (!meetsBand(band, rd)) return;
  if (rd.dash == DashPattern::solid) {
    smoothRing(band, rd, SmoothSolid{});
  } else {
    smoothRing(band, rd, smoothClassicDash(rd.dash));
  }
}

void drawSmoothRound(const RasterBand& band, const RasterRound& rd, const DashTable& table) {
  if (!meetsBand(band, rd)) return;
  smoothRing(band, rd, SmoothDash{table.smooth.data(), table.period()});
}

}  // namespace trazo
