// The lengths the control meets on Windows: twips (the control's unit, 1440 to the logical
// inch), the display's pixels at its logical resolution, and HIMETRIC (1/100 mm), the unit
// of OLE extents.
#pragma once

#include "picture/scale_mapping.hpp"

#include <windows.h>

#include <cmath>

namespace trazo::win32 {

inline constexpr double kHimetricPerInch = 2540;

// Logical pixels per inch of the display, horizontally and vertically.
struct LogicalDpi {
  int x = 96;
  int y = 96;
};
LogicalDpi displayDpi();

// Rounded to the nearest whole unit; the caller keeps the twips within range.
inline LONG twipsToPixels(double twips, int dpi) { return std::lround(twips * dpi / kTwipsPerInch); }
inline LONG twipsToHimetric(double twips) { return std::lround(twips * kHimetricPerInch / kTwipsPerInch); }
inline double pixelsToTwips(int pixels, int dpi) { return pixels * kTwipsPerInch / dpi; }

}  // namespace trazo::win32
