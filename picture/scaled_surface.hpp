// The part of a picture every surface shares: its coordinate system. ScaleMode, ScaleWidth,
// ScaleHeight and Scale are answered from one ScaleMapping; a surface that draws overrides
// the two setters to follow them, and keeps the inner size up to date with setInnerSize.
#pragma once

#include "picture/scale_mapping.hpp"
#include "picture/surface.hpp"

namespace trazo {

class ScaledSurface : public Surface {
 public:
  Status setScaleMode(std::int32_t mode) override { return mapping_.setScaleMode(mode); }
  Status scaleWidth(float& width) override {
    width = mapping_.scaleWidth();
    return status::ok;
  }
  Status scaleHeight(float& height) override {
    height = mapping_.scaleHeight();
    return status::ok;
  }
  Status setScale(double x1, double y1, double x2, double y2) override {
    mapping_.setScale(x1, y1, x2, y2);
    return status::ok;
  }

  const ScaleMapping& mapping() const { return mapping_; }

 protected:
  ScaleMapping mapping_;
};

}  // namespace trazo
