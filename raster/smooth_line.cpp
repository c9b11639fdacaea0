#include "raster/smooth_line.hpp"

#include "raster/blend.hpp"
#include "raster/smooth_dash.hpp"
#include "raster/step_limits.hpp"

#include <algorithm>

namespace trazo {
namespace {

using i64 = std::int64_t;
using u64 = std::uint64_t;

// A segment's walk cut to a band: the steps from..to of the whole segment, and where the
// pixels of the first lie.
struct SmoothSteps {
  std::uint32_t* origin;      // pixel (0, 0) of the buffer
  std::ptrdiff_t majorUnit;   // offset of one pixel along the longer axis
  std::ptrdiff_t minorUnit;   // and along the shorter one
  i64 majorAt, majorSign;     // the longer axis's coordinate at `from`, and its step
  i64 minorStart, minorSign;  // the shorter axis's at the first end, and its direction
  i64 minorLow, minorHigh;    // the coordinates of the shorter axis a pixel may have
  u64 slope;                  // S: pixels along the shorter axis per step, 32.32
  i64 from, to;
  // The steps whose two pixels both lie in the range: no pixel there needs checking.
  i64 insideFrom, insideTo;
};

bool smoothStepsInBand(const RasterBand& band, const RasterLine& line, SmoothSteps& s) {
  if ((line.y1 < band.top && line.y2 < band.top) || (line.y1 >= band.bottom && line.y2 >= band.bottom)) return false;
  PixelBuffer& picture = *band.picture;
  const i64 dx = i64{line.x2} - line.x1, dy = i64{line.y2} - line.y1;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const i64 major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const int majorSign = xMajor ? sx : sy, minorSign = xMajor ? sy : sx;
  const i64 majorStart = xMajor ? line.x1 : line.y1, minorStart = xMajor ? line.y1 : line.x1;
  const i64 xLow = 0, xHigh = i64{picture.width()} - 1;
  const i64 yLow = band.top, yHigh = i64{band.bottom} - 1;
  const i64 majorLow = xMajor ? xLow : yLow, majorHigh = xMajor ? xHigh : yHigh;
  const i64 minorLow = xMajor ? yLow : xLow, minorHigh = xMajor ? yHigh : xHigh;

  i64 from = 0, to = major;
  steps::limitByMajor(majorStart, majorSign, majorLow, majorHigh, from, to);
  // Most segments lie within the range across with a pixel to spare: then both pixels of
  // every step are in it, with no need for the divisions that find the steps which are.
  const i64 minorEnd = minorStart + minorSign * minor;
  const bool wellWithin = std::min(minorStart, minorEnd) > minorLow && std::max(minorStart, minorEnd) < minorHigh;
  if (wellWithin) {
    // Nothing to narrow.
  } else if (major > 0) {
    // The pair at step k lies within a pixel of the aliased walk's pixel there: the steps
    // whose aliased pixel lies within a pixel of the range, each pixel checked on the way.
    const i64 low = minorSign > 0 ? minorLow - minorStart : minorStart - minorHigh;
    const i64 high = minorSign > 0 ? minorHigh - minorStart : minorStart - minorLow;
    steps::limitByMinor(minor, major, low - 1, high + 1, from, to);
  } else if (minorStart < minorLow || minorStart > minorHigh) {
    return false;
  }
  if (from > to) return false;
  // The pair at step k is the aliased pixel and the one before it or after it, so the steps
  // whose aliased pixel lies a pixel within the range have both inside.
  i64 insideFrom = from, insideTo = to;
  if (wellWithin) {
    // Every step is inside.
  } else if (major > 0) {
    const i64 low = minorSign > 0 ? minorLow - minorStart : minorStart - minorHigh;
    const i64 high = minorSign > 0 ? minorHigh - minorStart : minorStart - minorLow;
    steps::limitByMinor(minor, major, low + 1, high - 1, insideFrom, insideTo);
  } else {
    insideTo = insideFrom - 1;
  }
  const std::ptrdiff_t stride = picture.width();
  s = {picture.row(0),
       xMajor ? 1 : stride,
       xMajor ? stride : 1,
       majorStart + majorSign * from,
       majorSign,
       minorStart,
       minorSign,
       minorLow,
       minorHigh,
       major > 0 ? ((static_cast<u64>(minor) << 32) + static_cast<u64>(major) - 1) / static_cast<u64>(major) : 0,
       from,
       to,
       insideFrom,
       insideTo};
  return true;
}

inline void blendAt(std::uint32_t* p, std::uint32_t colour, std::uint32_t weight) {
  *p = blendPixel(*p, colour, weight);
}

// Steps first .. last of the segment, `at` the place in the dash period at `first`, each
// pixel checked against the range.
template <typename Dash>
void checkedWalk(const SmoothSteps& s, i64 first, i64 last, std::uint32_t colour, const Dash& dash, int at) {
  const auto span = static_cast<u64>(s.minorHigh - s.minorLow);
  u64 position = static_cast<u64>(first) * s.slope;
  const std::ptrdiff_t majorStep = static_cast<std::ptrdiff_t>(s.majorSign) * s.majorUnit;
  std::ptrdiff_t major =
      static_cast<std::ptrdiff_t>(s.majorAt) * s.majorUnit + static_cast<std::ptrdiff_t>(first - s.from) * majorStep;
  const std::ptrdiff_t minorStep = static_cast<std::ptrdiff_t>(s.minorSign) * s.minorUnit;
  for (i64 k = first; k <= last; ++k) {
    // A gap of the pattern is passed over in one go: its steps would draw nothing.
    if (const int gap = dash.gapAhead(at); gap != 0) {
      k += gap - 1;
      position += static_cast<u64>(gap) * s.slope;
      major += gap * majorStep;
      at += gap;
      if (at == dash.period()) at = 0;
      continue;
    }
    const auto whole = static_cast<i64>(position >> 32);
    const auto past = static_cast<std::uint32_t>(position >> 24) & 255u;
    const std::uint32_t ink = dash.weight(at);
    const std::uint32_t nearInk = nearWeight(past, ink), farInk = farWeight(past, ink);
    const i64 nearAt = s.minorStart + s.minorSign * whole;
    std::uint32_t* nearPixel = s.origin + major + static_cast<std::ptrdiff_t>(nearAt) * s.minorUnit;
    if (static_cast<u64>(nearAt - s.minorLow) <= span) blendAt(nearPixel, colour, nearInk);
    if (farInk != 0 && static_cast<u64>(nearAt + s.minorSign - s.minorLow) <= span)
      blendAt(nearPixel + minorStep, colour, farInk);
    position += s.slope;
    major += majorStep;
    at = smoothNext(dash, at);
  }
}

// Where the near pixel of step k lies: its offset from pixel (0, 0).
std::ptrdiff_t nearOffset(const SmoothSteps& s, i64 k) {
  const i64 nearAt = s.minorStart + s.minorSign * static_cast<i64>((static_cast<u64>(k) * s.slope) >> 32);
  return static_cast<std::ptrdiff_t>(s.majorAt + (k - s.from) * s.majorSign) * s.majorUnit +
         static_cast<std::ptrdiff_t>(nearAt) * s.minorUnit;
}

// The same steps where both pixels of every pair lie in the range. The near pixel moves a
// pixel across whenever the position passes a whole pixel, which it does at most once a
// step (the slope is at most one). It is carried as an offset into the buffer, made a
// pointer only for a step that draws. `kFar` is where the far pixel lies in memory: side
// by side with the near one for a steep segment, a row away for a flat one.
template <FarPixel kFar, typename Dash>
void insideWalk(const SmoothSteps& s, i64 first, i64 last, const PairBlend& pen, const Dash& dash, int at) {
  const std::ptrdiff_t majorStep = static_cast<std::ptrdiff_t>(s.majorSign) * s.majorUnit;
  const std::ptrdiff_t minorStep = static_cast<std::ptrdiff_t>(s.minorSign) * s.minorUnit;
  u64 position = static_cast<u64>(first) * s.slope;
  std::ptrdiff_t near = nearOffset(s, first);
  for (i64 k = first; k <= last; ++k) {
    if (const int gap = dash.gapAhead(at); gap != 0) {
      k += gap - 1;
      at += gap;
      if (at == dash.period()) at = 0;
      position = static_cast<u64>(k + 1) * s.slope;
      near = nearOffset(s, k + 1);
      continue;
    }
    const auto past = static_cast<std::uint32_t>(position >> 24) & 255u;
    pen.blend<kFar>(s.origin + near, minorStep, past, dash.weight(at));
    const u64 next = position + s.slope;
    const auto across = static_cast<std::ptrdiff_t>((next >> 32) - (position >> 32));
    near += majorStep + (minorStep & -across);
    position = next;
    at = smoothNext(dash, at);
  }
}

template <typename Dash>
void insideWalk(const SmoothSteps& s, i64 first, i64 last, std::uint32_t colour, const Dash& dash, int at) {
  const PairBlend pen(colour);
  if (s.minorUnit != 1) {
    insideWalk<FarPixel::apart>(s, first, last, pen, dash, at);
  } else if (s.minorSign > 0) {
    insideWalk<FarPixel::next>(s, first, last, pen, dash, at);
  } else {
    insideWalk<FarPixel::previous>(s, first, last, pen, dash, at);
  }
}

// Steps first .. last of a level or upright segment inside the range: each step puts its
// whole ink on one pixel, and full ink is the colour itself (blend.hpp).
template <typename Dash>
void levelWalk(const SmoothSteps& s, i64 first, i64 last, std::uint32_t colour, const Dash& dash, int at) {
  const std::ptrdiff_t majorStep = static_cast<std::ptrdiff_t>(s.majorSign) * s.majorUnit;
  std::ptrdiff_t offset = nearOffset(s, first);
  const std::uint32_t opaque = (colour & 0xFFFFFFu) | 0xFF000000u;
  for (i64 k = first; k <= last; ++k) {
    if (const int gap = dash.gapAhead(at); gap != 0) {
      k += gap - 1;
      offset += gap * majorStep;
      at += gap;
      if (at == dash.period()) at = 0;
      continue;
    }
    const std::uint32_t ink = dash.weight(at);
    std::uint32_t& pixel = s.origin[offset];
    pixel = ink == 256 ? opaque : blendPixel(pixel, colour, ink);
    offset += majorStep;
    at = smoothNext(dash, at);
  }
}

template <typename Dash>
int placeAt(const Dash& dash, const RasterLine& line, i64 step) {
  return static_cast<int>((line.phase + step) % dash.period());
}

// The steps before the inside ones, the inside ones, and those after, each from its own
// place in the pattern.
template <typename Dash>
void walkFrom(const SmoothSteps& s, const RasterLine& line, const Dash& dash) {
  if (s.insideFrom > s.insideTo) {
    checkedWalk(s, s.from, s.to, line.pixel, dash, placeAt(dash, line, s.from));
    return;
  }
  checkedWalk(s, s.from, s.insideFrom - 1, line.pixel, dash, placeAt(dash, line, s.from));
  if (s.slope == 0) {
    levelWalk(s, s.insideFrom, s.insideTo, line.pixel, dash, placeAt(dash, line, s.insideFrom));
  } else {
    insideWalk(s, s.insideFrom, s.insideTo, line.pixel, dash, placeAt(dash, line, s.insideFrom));
  }
  checkedWalk(s, s.insideTo + 1, s.to, line.pixel, dash, placeAt(dash, line, s.insideTo + 1));
}

}  // namespace

void drawSmoothLine(const RasterBand& band, const RasterLine& line) {
  SmoothSteps s;
  if (!smoothStepsInBand(band, line, s)) return;
  if (line.dash == DashPattern::solid) {
    walkFrom(s, line, SmoothSolid{});
  } else {
    walkFrom(s, line, smoothClassicDash(line.dash));
  }
}

void drawSmoothLine(const RasterBand& band, const RasterLine& line, const DashTable& dash) {
  SmoothSteps s;
  if (!smoothStepsInBand(band, line, s)) return;
  walkFrom(s, line, SmoothDash{dash.smooth.data(), dash.period()});
}

}  // namespace trazo
