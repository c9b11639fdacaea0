// Lines and outlines of a pen wider than one pixel. A pixel is drawn when its centre lies
// within half the pen's width of the shape, and, for a dashed pen, where the pattern is on
// at that point's distance along the shape. A solid line ends in square caps reaching half
// the width past its ends, so that the sides of a box meet at their corners; a dashed one
// ends flat, so that each dash is as long as its run. Along a circle or an arc the pattern
// is measured on the circle itself, counter-clockwise from +X or from the arc's start.
//
// Shapes are in device pixels of the whole picture; the band's buffer may cover only part
// of it, from (left, top). What a band draws does not depend on where it begins or ends.
#pragma once

#include "raster/dash_table.hpp"
#include "raster/raster_band.hpp"

#include <cstdint>

namespace trazo {

struct WideLine {
  double x1, y1, x2, y2;
  double halfWidth;
  double phase;  // how far into the pattern the first point lies, along the line
  std::uint32_t pixel;
};

struct WideRound {
  double cx, cy, r;
  double halfWidth;
  std::uint32_t pixel;
  bool whole;
  double start, span;  // an arc's sweep, as for RasterRound
};

// `dash` is none for a solid pen.
void drawWideLine(const RasterBand& band, int left, int top, const WideLine& line, const DashTable* dash);
void drawWideRound(const RasterBand& band, int left, int top, const WideRound& round, const DashTable* dash);

// The rows of the whole picture a shape may reach, both included.
void wideLineRows(const WideLine& line, double& first, double& last);
void wideRoundRows(const WideRound& round, double& first, double& last);

}  // namespace trazo
