// How wide lines are and how long their dashes, in device pixels. The classic pen is one
// device pixel wide with the dash patterns as they are (dash_pattern.hpp). A host may ask
// for wider lines, and a device may be finer than a screen (a printer, a display with a
// device pixel ratio of 2): the patterns then grow with the pen or with the device's
// resolution, whichever is more, so that a dash keeps its look.
#pragma once

#include "picture/units.hpp"

namespace trazo {

// The widest pen a back end is asked to draw, in device pixels.
inline constexpr double kWidestPen = 1024;

struct DevicePen {
  double width = 1;     // device pixels; one or less is drawn one pixel wide by the raster
  double dashUnit = 1;  // device pixels per pixel of the classic patterns

  // A pen wider than one device pixel measures its dashes along the line; the one-pixel
  // pen counts them in pixels along the line's longer axis, as the classic pens did.
  bool wide() const { return width > 1; }
  friend bool operator==(const DevicePen& a, const DevicePen& b) {
    return a.width == b.width && a.dashUnit == b.dashUnit;
  }
  friend bool operator!=(const DevicePen& a, const DevicePen& b) { return !(a == b); }
};

// A pen `width` device pixels wide (the classic one pixel when not a positive number) on a
// device of `dpi` dots per inch; its dash unit is the larger of the width and dpi / 96.
DevicePen penFor(double width, double dpi);

}  // namespace trazo
