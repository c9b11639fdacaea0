// Antialiased one-pixel segments, after Wu: a segment runs between the centres of the pixels
// its ends fall in (the aliased segment's end pixels), one step along its longer axis per
// pixel, both ends included, and each step shares its ink between the two pixels across the
// shorter axis that straddle the exact line, in proportion to how near it passes: the
// nearer gets 256 - f, the other f, where f is the fraction of a pixel the line lies past
// the nearer's centre, in 256ths. The line's position at step k is k * S / 2^32 pixels along
// the shorter axis, S the slope rounded up to 32 fractional bits, so that every band finds
// the same position at the same step. A horizontal, vertical or 45-degree segment is the
// aliased one; every pixel the aliased walk draws gets at least about half the ink here.
// Dash patterns keep the aliased walk's pixels and phase (smooth_dash.hpp).
#pragma once

#include "raster/dash_table.hpp"
#include "raster/line_raster.hpp"

namespace trazo {

void drawSmoothLine(const RasterBand& band, const RasterLine& line);
// With a scaled pattern in place of the line's classic one.
void drawSmoothLine(const RasterBand& band, const RasterLine& line, const DashTable& dash);

}  // namespace trazo
