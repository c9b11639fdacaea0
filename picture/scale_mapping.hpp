// A picture's coordinate system: twips from the inner area's top-left, or the user system
// that Scale sets. Every surface keeps one, so ScaleWidth, ScaleHeight and the position of a
// pointer in current units come out the same on every platform.
#pragma once

#include "base/status.hpp"
#include "picture/units.hpp"

#include <cstdint>

namespace trazo {

class ScaleMapping {
 public:
  // The inner area's size in twips; the user system, if any, keeps its corners.
  void setInnerSize(double widthTwips, double heightTwips);

  // Only twips (1) is supported; it drops the user system.
  Status setScaleMode(std::int32_t mode);
  void setScale(double x1, double y1, double x2, double y2);

  float scaleWidth() const;
  float scaleHeight() const;

  // A point in twips from the inner top-left, in current units, and back.
  void fromTwips(double xTwips, double yTwips, double& x, double& y) const;
  void toTwips(double x, double y, double& xTwips, double& yTwips) const;

  bool userScale() const { return user_; }
  // The corners Scale set: the inner area's top-left (x1, y1) and bottom-right (x2, y2).
  double x1() const { return x1_; }
  double y1() const { return y1_; }
  double x2() const { return x2_; }
  double y2() const { return y2_; }

 private:
  double widthTwips_ = 0;
  double heightTwips_ = 0;
  bool user_ = false;
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace trazo
