// Which steps of a one-pixel segment's walk fall within a range of rows or columns, found
// without walking: the aliased walk (line_raster.cpp) and the antialiased one
// (smooth_line.cpp) both start where a band's rows begin.
#pragma once

#include <algorithm>
#include <cstdint>

namespace trazo::steps {

using i64 = std::int64_t;

// Rounds up for any sign of `num`; `den` > 0.
inline i64 ceilDiv(i64 num, i64 den) { return num >= 0 ? (num + den - 1) / den : -((-num) / den); }

// Step k of a segment of `major` steps moves floor((2 k minor + major) / (2 major)) pixels
// along the shorter axis (minor <= major, major > 0). The steps k that keep that count in
// [low, high], intersected with [from, to].
inline void limitByMinor(i64 minor, i64 major, i64 low, i64 high, i64& from, i64& to) {
  if (minor == 0) {
    if (low > 0 || high < 0) to = from - 1;
    return;
  }
  const i64 first = ceilDiv(2 * major * low - major, 2 * minor);
  const i64 last = ceilDiv(2 * major * (high + 1) - major, 2 * minor) - 1;
  from = std::max(from, first);
  to = std::min(to, last);
}

// The steps k whose coordinate start + step * k lies in [low, high], within [from, to].
inline void limitByMajor(i64 start, int step, i64 low, i64 high, i64& from, i64& to) {
  if (step > 0) {
    from = std::max(from, low - start);
    to = std::min(to, high - start);
  } else {
    from = std::max(from, start - high);
    to = std::min(to, start - low);
  }
}

}  // namespace trazo::steps
