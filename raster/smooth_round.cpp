#include "raster/smooth_round.hpp"

#include "raster/blend.hpp"
#include "raster/dash_mask.hpp"
#include "raster/ring_steps.hpp"
#include "raster/smooth_dash.hpp"

#include <cmath>

namespace trazo {
namespace {

using namespace ring;

// Where the pixels go: the buffer and the rows and columns of it this band may write.
struct SmoothPlot {
  std::uint32_t* pixels;
  std::ptrdiff_t stride;
  ClipBounds bounds;
  std::uint32_t colour;

  template <bool kChecked = true>
  void blend(i64 x, i64 y, std::uint32_t weight) const {
    if (kChecked && (x < bounds.columnLow || x > bounds.columnHigh || y < bounds.rowLow || y > bounds.rowHigh)) return;
    std::uint32_t& p = pixels[static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x)];
    p = blendPixel(p, colour, weight);
  }
};

// Steps kFrom .. kTo of one octant, the dash period at kFrom given, following the ring
// counter-clockwise as the aliased walk does; each pixel checked against the bounds unless
// `kChecked` is false, for steps whose pixels all lie inside them.
template <bool kChecked, typename Dash>
void smoothOctantPiece(int octant, const RasterRound& rd, const SmoothPlot& plot, i64 kFrom, i64 kTo, int period,
                       const Dash& dash) {
  const Octant o = kOctants[octant];
  const bool fromAxis = octant % 2 == 0;
  const i64 r2 = i64{rd.r} * rd.r;
  for (i64 k = kFrom; k <= kTo; ++k) {
    const double s = std::sqrt(static_cast<double>(r2 - k * k));
    const auto inner = static_cast<i64>(s);
    const auto past = static_cast<std::uint32_t>((s - static_cast<double>(inner)) * 256);
    const std::uint32_t ink = dash.weight(period);
    const std::uint32_t weights[2] = {((256 - past) * ink) >> 8, (past * ink) >> 8};
    for (int i = 0; i < 2; ++i) {
      const i64 x = inner + i;
      // The diagonal belongs to the octant that runs from an axis.
      if (weights[i] == 0 || x < k || (x == k && !fromAxis)) continue;
      plot.blend<kChecked>(rd.cx + o.sx * (o.swap ? k : x), rd.cy + o.sy * (o.swap ? x : k), weights[i]);
    }
    period = fromAxis ? nextInPeriod(dash, period) : previousInPeriod(dash, period);
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
  // drawn without checks.
  forEachRingPiece(
      rd, plot.bounds, 1, [&](int octant, i64 kFrom, i64 kTo, std::int64_t along, const RingNumbers& ring) {
        i64 insideFrom = kFrom, insideTo = kTo;
        clipSteps(octant, rd, ring, plot.bounds, -1, insideFrom, insideTo);
        const bool up = octant % 2 == 0;
        const auto periodAt = [&](i64 k) {
          return static_cast<int>(((along + (up ? k - kFrom : kFrom - k)) % dash.period() + dash.period()) %
                                  dash.period());
        };
        if (insideFrom > insideTo) {
          smoothOctantPiece<true>(octant, rd, plot, kFrom, kTo, periodAt(kFrom), dash);
          return;
        }
        smoothOctantPiece<true>(octant, rd, plot, kFrom, insideFrom - 1, periodAt(kFrom), dash);
        smoothOctantPiece<false>(octant, rd, plot, insideFrom, insideTo, periodAt(insideFrom), dash);
        smoothOctantPiece<true>(octant, rd, plot, insideTo + 1, kTo, periodAt(insideTo + 1), dash);
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
    smoothRing(band, rd, SmoothDash{classicSmoothWeights(rd.dash).data(), kDashPeriod});
  }
}

void drawSmoothRound(const RasterBand& band, const RasterRound& rd, const DashTable& table) {
  if (!meetsBand(band, rd)) return;
  smoothRing(band, rd, SmoothDash{table.smooth.data(), table.period()});
}

}  // namespace trazo
