// Antialiased one-pixel circles and arcs, after Wu: the ring of the aliased circle (the same
// centre pixel, the same whole radius, the same steps and arc ends, round_raster.hpp), each
// step shares its ink between the two pixels across the ring that straddle the exact circle
// through the centre pixel's centre, s = sqrt(r^2 - k^2) pixels out at step k: the inner
// gets 256 - f, the outer f, f the fraction of s in 256ths. Where two octants meet on a
// diagonal the pixel on it is drawn once, by the octant that runs from an axis, so that no
// pixel takes ink twice. Dashes run along the steps as on the aliased ring, with the soft
// dash ends of smooth_dash.hpp.
#pragma once

#include "raster/dash_table.hpp"
#include "raster/round_raster.hpp"

namespace trazo {

void drawSmoothRound(const RasterBand& band, const RasterRound& round);
// With a scaled pattern in place of the round's classic one.
void drawSmoothRound(const RasterBand& band, const RasterRound& round, const DashTable& dash);

}  // namespace trazo
