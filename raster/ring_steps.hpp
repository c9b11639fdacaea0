// The ring of a one-pixel circle as the midpoint walk gives it: the eight octants, the
// closed form of any step, the numbering of its pixels counter-clockwise from +X, and the
// pieces of it an arc and a band's rows keep. The aliased ring (round_raster.cpp) puts one
// pixel a step; the antialiased one (smooth_round.cpp) shares each step between two.
#pragma once

#include "device/portable_trig.hpp"
#include "raster/round_raster.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace trazo::ring {

using i64 = std::int64_t;

// The eight octants, counter-clockwise on the screen from +X. The midpoint walk gives, for
// k = 0, 1, ..., the points (x_k, k) of the first octant; octant o places them at
// (cx + sx * (swap ? k : x_k), cy + sy * (swap ? x_k : k)). Even octants run with k, odd
// ones against it.
struct Octant {
  bool swap;
  int sx, sy;
};
inline constexpr Octant kOctants[8] = {{false, 1, -1}, {true, 1, -1}, {true, -1, -1}, {false, -1, -1},
                                       {false, -1, 1}, {true, -1, 1}, {true, 1, 1},   {false, 1, 1}};

// The largest s with s * s <= n, for n >= 0.
inline i64 floorSqrt(i64 n) {
  auto s = static_cast<i64>(std::sqrt(static_cast<double>(n)));
  while (s * s > n) --s;
  while ((s + 1) * (s + 1) <= n) ++s;
  return s;
}

// The midpoint walk of the first octant keeps x while the midpoint (x - 1/2, k) of the next
// row lies inside the circle, and steps back otherwise; its decision value at step k is
// x (x - 1) + (k + 1)^2 - r^2. So x_k is the largest x with x (x - 1) + k^2 < r^2, and
// any step of the walk can be reached without walking to it. k < r.
inline i64 xAt(i64 r, i64 k) { return (1 + floorSqrt(4 * (r * r - k * k) - 3)) / 2; }
inline i64 decisionAt(i64 r, i64 x, i64 k) { return x * (x - 1) + (k + 1) * (k + 1) - r * r; }

// The last step whose x_k is at least `low`, -1 for none; the first whose x_k is at most
// `high`, beyond any step for none. 0 <= low, high <= r.
inline i64 lastStepReaching(i64 r, i64 low) {
  const i64 n = r * r - low * (low - 1) - 1;
  return n < 0 ? -1 : floorSqrt(n);
}
inline i64 firstStepWithin(i64 r, i64 high) {
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

  RingNumbers() = default;
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

// The rows and columns a piece of the ring may touch, both ends included.
struct ClipBounds {
  i64 rowLow, rowHigh, columnLow, columnHigh;
};

// Narrows [from, to] to the steps of `octant` whose pixels lie in the bounds: along k the
// coordinate moves one pixel a step, along x it follows the walk, whose steps for a range of
// x are found from x_k's closed form. `slack` widens the bounds along x by that many pixels,
// for a walk that may touch the pixels beside x_k.
inline void clipSteps(int octant, const RasterRound& rd, const RingNumbers& ring, const ClipBounds& b, i64 slack,
                      i64& from, i64& to) {
  const Octant& o = kOctants[octant];
  // The coordinate that moves with k: centre + sign * k in [low, high].
  {
    const i64 centre = o.swap ? rd.cx : rd.cy;
    const int sign = o.swap ? o.sx : o.sy;
    const i64 low = o.swap ? b.columnLow : b.rowLow, high = o.swap ? b.columnHigh : b.rowHigh;
    from = std::max(from, sign > 0 ? low - centre : centre - high);
    to = std::min(to, sign > 0 ? high - centre : centre - low);
    if (from > to) return;
  }
  // The coordinate that moves with x_k.
  const i64 centre = o.swap ? rd.cy : rd.cx;
  const int sign = o.swap ? o.sy : o.sx;
  const i64 low = o.swap ? b.rowLow : b.columnLow, high = o.swap ? b.rowHigh : b.columnHigh;
  const i64 xLow = (sign > 0 ? low - centre : centre - high) - slack;
  const i64 xHigh = (sign > 0 ? high - centre : centre - low) + slack;
  const i64 r = rd.r;
  if (xLow > r || xHigh < ring.lastX) {
    to = from - 1;
    return;
  }
  if (xLow > ring.lastX) to = std::min(to, lastStepReaching(r, xLow));
  if (xHigh < r) from = std::max(from, firstStepWithin(r, xHigh));
}

// The ring's steps within the bounds, octant by octant: in each, the run of steps that lies
// within the arc (all of them for a whole circle) and within the bounds, handed to
// piece(octant, kFrom, kTo, along, ring) with how many pixels of the arc come before kFrom's.
// `ring` is RingNumbers(rd.r), worked out by the caller.
template <typename Piece>
void forEachRingPiece(const RasterRound& rd, const RingNumbers& ring, const ClipBounds& bounds, i64 slack,
                      Piece&& piece) {
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
  const int runCount = start + length > ring.total ? 2 : 1;
  for (int octant = 0; octant < 8; ++octant) {
    const bool up = octant % 2 == 0;
    const std::int64_t low = ring.base(octant), high = low + (up ? ring.K : ring.c) - 1;
    for (int n = 0; n < runCount; ++n) {
      const std::int64_t first = std::max(low, runs[n][0]), last = std::min(high, runs[n][1]);
      if (first > last) continue;
      // Numbers to steps: even octants number = base + k, odd ones number = base + c - k.
      i64 kFrom = up ? first - low : low + ring.c - last;
      i64 kTo = up ? last - low : low + ring.c - first;
      clipSteps(octant, rd, ring, bounds, slack, kFrom, kTo);
      if (kFrom > kTo) continue;
      // Both numbers lie in [0, total): one turn added at most brings the difference there.
      const std::int64_t along = ring.number(octant, kFrom) - start;
      piece(octant, kFrom, kTo, along < 0 ? along + ring.total : along, ring);
    }
  }
}

template <typename Piece>
void forEachRingPiece(const RasterRound& rd, const ClipBounds& bounds, i64 slack, Piece&& piece) {
  forEachRingPiece(rd, RingNumbers(rd.r), bounds, slack, std::forward<Piece>(piece));
}

}  // namespace trazo::ring
