// The lengths the control meets on Windows beyond twips and pixels (picture/units.hpp): the
// display's logical resolution, and HIMETRIC (1/100 mm), the unit of OLE extents.
#pragma once

#include "picture/units.hpp"

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
inline LONG twipsToHimetric(double twips) { return std::lround(twips * kHimetricPerInch / kTwipsPerInch); }

}  // namespace trazo::win32
