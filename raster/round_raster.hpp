// Aliased one-pixel circles and arcs. A circle is centred on the pixel its centre falls in,
// with its radius rounded to whole pixels, and follows the midpoint rule: the eight-fold
// symmetric ring of pixels nearest the circle. Its pixels are counted counter-clockwise on
// the screen from +X, each once; an arc takes those from the pixel of its start angle to the
// pixel of its end angle, both included, and a dash pattern runs along them from the start
// (from +X for a whole circle). A radius below half a pixel draws the centre pixel.
#pragma once

#include "device/dash_pattern.hpp"
#include "raster/dash_table.hpp"
#include "raster/raster_band.hpp"

#include <cstdint>

namespace trazo {

struct RasterRound {
  std::int32_t cx, cy;  // the centre's pixel
  std::int32_t r;       // whole pixels, at most a little over 32768
  std::uint32_t pixel;
  DashPattern dash;
  bool whole;
  // An arc's sweep: radians from +X, counter-clockwise on the screen; start in [0, one
  // turn), span in (0, one turn].
  float start, span;
};

void drawRound(const RasterBand& band, const RasterRound& round);
// The same pixels, put only where nothing has been written yet (dash_mask.hpp, Under).
void drawRoundUnder(const RasterBand& band, const RasterRound& round);
// With a scaled pattern in place of the round's classic one.
void drawRound(const RasterBand& band, const RasterRound& round, const DashTable& dash);

// The pixels a circle's ring has, about: its work, for deciding on threads.
inline std::int64_t roundWork(const RasterRound& r) { return 6 * std::int64_t{r.r} + 1; }

}  // namespace trazo
