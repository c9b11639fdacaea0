// The client area every shell hands Resize: a window of a given size in twips, measured from
// its own top-left corner. A shell only works out the size from its pixels.
#pragma once

#include "picture/surface.hpp"

namespace trazo {

class SizedClientArea final : public ClientArea {
 public:
  SizedClientArea(double widthTwips, double heightTwips) : width_(widthTwips), height_(heightTwips) {}
  Status scaleLeft(float& value) override { return set(value, 0); }
  Status scaleTop(float& value) override { return set(value, 0); }
  Status scaleWidth(float& value) override { return set(value, width_); }
  Status scaleHeight(float& value) override { return set(value, height_); }

 private:
  static Status set(float& value, double twips) {
    value = static_cast<float>(twips);
    return status::ok;
  }
  double width_, height_;
};

}  // namespace trazo
