#include "shells/web/web_picture.hpp"

#include <cmath>
#include <limits>

namespace trazo::web {

bool WebPicture::followPlacement(double ratio) {
  if (!std::isfinite(ratio) || ratio <= 0) ratio = 1;
  const double width = std::round(placement_.width * ratio);
  const double height = std::round(placement_.height * ratio);
  constexpr double kLargestSide = std::numeric_limits<int>::max();
  if (!(width <= kLargestSide && height <= kLargestSide)) return false;
  if (!setPixelSize(static_cast<int>(width), static_cast<int>(height), kScreenDpi * ratio, kScreenDpi * ratio))
    return false;
  ratio_ = ratio;
  return true;
}

}  // namespace trazo::web
