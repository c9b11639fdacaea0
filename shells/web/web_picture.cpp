#include "shells/web/web_picture.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazo::web {

Status WebPicture::place(float twips, double& cssPixels, bool size) {
  if (!std::isfinite(twips)) return status::invalidCall;
  const double value = static_cast<double>(twips) / kTwipsPerCssPixel;
  cssPixels = size ? std::max(value, 0.0) : value;
  return status::ok;
}

bool WebPicture::followPlacement(double ratio) {
  if (!std::isfinite(ratio) || ratio <= 0) ratio = 1;
  const double width = std::round(placement_.width * ratio);
  const double height = std::round(placement_.height * ratio);
  constexpr double kLargestSide = std::numeric_limits<int>::max();
  if (!(width <= kLargestSide && height <= kLargestSide)) return false;
  if (!raster_.resize(static_cast<int>(width), static_cast<int>(height))) return false;
  setDevice(width, height, kCssPixelsPerInch * ratio, kCssPixelsPerInch * ratio);
  ratio_ = ratio;
  return true;
}

}  // namespace trazo::web
