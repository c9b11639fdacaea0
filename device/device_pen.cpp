#include "device/device_pen.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {

DevicePen penFor(double width, double dpi) {
  DevicePen pen;
  if (std::isfinite(width) && width > 0) pen.width = std::min(width, kWidestPen);
  const double deviceUnit = std::isfinite(dpi) && dpi > 0 ? dpi / kScreenDpi : 1;
  pen.dashUnit = std::min(std::max(pen.width, deviceUnit), kWidestPen);
  return pen;
}

}  // namespace trazo
