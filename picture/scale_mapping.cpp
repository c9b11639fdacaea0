#include "picture/scale_mapping.hpp"

namespace trazo {

void ScaleMapping::setInnerSize(double widthTwips, double heightTwips) {
  widthTwips_ = widthTwips;
  heightTwips_ = heightTwips;
}

Status ScaleMapping::setScaleMode(std::int32_t mode) {
  if (mode != 1) return status::invalidCall;
  user_ = false;
  return status::ok;
}

void ScaleMapping::setScale(double x1, double y1, double x2, double y2) {
  user_ = true;
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
}

float ScaleMapping::scaleWidth() const { return static_cast<float>(user_ ? x2_ - x1_ : widthTwips_); }
float ScaleMapping::scaleHeight() const { return static_cast<float>(user_ ? y2_ - y1_ : heightTwips_); }

void ScaleMapping::fromTwips(double xTwips, double yTwips, double& x, double& y) const {
  if (!user_ || widthTwips_ == 0 || heightTwips_ == 0) {
    x = xTwips;
    y = yTwips;
    return;
  }
  x = x1_ + xTwips / widthTwips_ * (x2_ - x1_);
  y = y1_ + yTwips / heightTwips_ * (y2_ - y1_);
}

void ScaleMapping::toTwips(double x, double y, double& xTwips, double& yTwips) const {
  if (!user_ || x2_ == x1_ || y2_ == y1_) {
    xTwips = x;
    yTwips = y;
    return;
  }
  xTwips = (x - x1_) / (x2_ - x1_) * widthTwips_;
  yTwips = (y - y1_) / (y2_ - y1_) * heightTwips_;
}

}  // namespace trazo
