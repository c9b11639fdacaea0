// A picture with nothing behind it: it keeps its coordinate system and draws nothing. A
// control starts on one until a shell gives it a real picture, so every member works
// without a window; it also serves to measure the control's own cost.
#pragma once

#include "picture/scaled_surface.hpp"
#include "picture/initial_placement.hpp"

namespace trazo {

// The inner area a picture has when nobody says otherwise, in twips: the control's proposed
// size.
inline constexpr double kDefaultWidthTwips = kProposedWidthTwips;
inline constexpr double kDefaultHeightTwips = kProposedHeightTwips;

class NullSurface : public ScaledSurface {
 public:
  explicit NullSurface(double widthTwips = kDefaultWidthTwips, double heightTwips = kDefaultHeightTwips) {
    mapping_.setInnerSize(widthTwips, heightTwips);
  }

  Status cls() override { return status::ok; }
  Status setFontSize(double) override { return status::ok; }
  Status setDrawStyle(std::int32_t) override { return status::ok; }
  Status line(float, float, float, float, Rgb) override { return status::ok; }
  Status circle(float, float, float, Rgb) override { return status::ok; }
  Status arc(float, float, float, Rgb, float, float) override { return status::ok; }
};

}  // namespace trazo
