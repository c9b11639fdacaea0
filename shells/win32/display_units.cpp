#include "display_units.hpp"

#include <algorithm>

namespace trazo::win32 {

LogicalDpi displayDpi() {
  LogicalDpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi.x = std::max(1, GetDeviceCaps(screen, LOGPIXELSX));
    dpi.y = std::max(1, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi;
}

}  // namespace trazo::win32
