// What the device geometry hands a back end: the picture's operations turned into device
// pixels (Y down, pixel (i, j) the square [i, i+1) x [j, j+1)), clipped, with every decision
// about what is drawn already taken. A raster back end puts pixels where it says; a vector
// back end (QPainter for PDF and printing, the SVG writer) draws the same
// shapes.
#pragma once

#include "base/colour.hpp"
#include "base/status.hpp"
#include "device/dash_pattern.hpp"
#include "device/device_pen.hpp"

namespace trazo {

// A segment within a few pixels of the picture, from its first point to its second.
struct DeviceLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Rgb colour;
  DashPattern dash = DashPattern::solid;
  // How far into the dash pattern the first point lies, in [0, the pattern's period): 0
  // unless the segment began outside and was cut, so that a dashed line keeps its rhythm
  // across the border. Whole pixels along the longer axis for a one-pixel pen, the length
  // along the line for a wide one.
  double phase = 0;
  DevicePen pen;
};

// A circle or an arc of one that crosses the picture, at most kLargestRoundRadius pixels in
// radius (larger ones arrive as DeviceLines along the part that crosses the picture).
struct DeviceRound {
  double cx = 0, cy = 0, r = 0;
  Rgb colour;
  DashPattern dash = DashPattern::solid;
  bool whole = true;
  // For an arc: radians from +X, counter-clockwise on the screen; start in [0, one turn),
  // span in (0, one turn].
  double start = 0, span = 0;
  DevicePen pen;
};

class DeviceEngine {
 public:
  virtual ~DeviceEngine() = default;
  // Cls: the whole picture in one colour. Each operation returns a status, so that a back
  // end that runs out of memory says so instead of throwing into the painters.
  virtual Status fill(Rgb colour) = 0;
  virtual Status line(const DeviceLine& line) = 0;
  virtual Status round(const DeviceRound& round) = 0;
  // The device pixels this back end keeps, when it keeps only a window of the picture:
  // left, top, width and height; false when it keeps everything handed over.
  virtual bool keptWindow(double& /*left*/, double& /*top*/, double& /*width*/, double& /*height*/) const {
    return false;
  }
};

}  // namespace trazo
