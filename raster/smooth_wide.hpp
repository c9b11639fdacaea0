// Antialiased lines and outlines of a pen wider than one pixel: the shapes of wide_raster.hpp
// with soft edges. A pixel takes the ink of the shape at its centre, weighted by how far
// inside the centre lies, clamp(1/2 + distance inside, 0, 1), across the pen and, for a
// line, along it past its caps or flat ends; a dash pattern weighs each pixel by the part
// of a pixel's length about its centre that falls in a dash. Every pixel the aliased pen
// draws (its centre inside the shape) gets at least half the ink. An arc's ends are cut at
// the pixel centre's angle, as the aliased arc's are.
#pragma once

#include "raster/wide_raster.hpp"

namespace trazo {

void drawSmoothWideLine(const RasterBand& band, int left, int top, const WideLine& line, const DashTable* dash);
void drawSmoothWideRound(const RasterBand& band, int left, int top, const WideRound& round, const DashTable* dash);

}  // namespace trazo
