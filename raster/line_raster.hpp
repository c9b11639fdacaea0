// Aliased one-pixel segments. A segment runs from the pixel of its first point to the pixel
// of its second (a point falls in the pixel whose square holds it), one pixel for each step
// along its longer axis, both end pixels included; a segment whose ends fall in one pixel
// draws that pixel. The shorter axis follows the exact line, rounded half up; so a segment
// drawn backwards may differ by a pixel at a tie, and keeps its own direction.
#pragma once

#include "device/dash_pattern.hpp"
#include "raster/dash_table.hpp"
#include "raster/raster_band.hpp"

#include <cstdint>

namespace trazo {

struct RasterLine {
  std::int32_t x1, y1, x2, y2;  // the pixels of its ends, which may lie outside the picture
  std::uint32_t pixel;
  DashPattern dash;
  int phase;  // pixel of the dash period at the first end
};

void drawLine(const RasterBand& band, const RasterLine& line);
// The same pixels, put only where nothing has been written yet (dash_mask.hpp, Under).
void drawLineUnder(const RasterBand& band, const RasterLine& line);
// With a scaled pattern in place of the line's classic one; `phase` is a pixel of its period.
void drawLine(const RasterBand& band, const RasterLine& line, const DashTable& dash);

// The pixels a segment covers along its longer axis: its work, for deciding on threads.
inline std::int64_t lineWork(const RasterLine& l) {
  const std::int64_t dx = l.x2 > l.x1 ? std::int64_t{l.x2} - l.x1 : std::int64_t{l.x1} - l.x2;
  const std::int64_t dy = l.y2 > l.y1 ? std::int64_t{l.y2} - l.y1 : std::int64_t{l.y1} - l.y2;
  return (dx > dy ? dx : dy) + 1;
}

}  // namespace trazo
