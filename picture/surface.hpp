// The drawing surface: every drawing and coordinate operation the control uses on its picture
// P1. A platform shell implements it over a window, an image or a file; the painters and
// Reflash know nothing else. Where P1 sits (Left, Top, Width, Height) is the control's own
// (control/picture_placement.hpp).
// Every operation returns a status, so that a surface can refuse a call (a window that is
// gone, a target that cannot be written) and the control passes that status on.
#pragma once

#include "base/colour.hpp"
#include "base/status.hpp"

#include <cstdint>

namespace trazo {

// ScaleMode value for twips, 1440 to the logical inch.
inline constexpr std::int32_t kScaleModeTwips = 1;

// Dash styles of DrawStyle.
inline constexpr std::int32_t kDrawStyleSolid = 0;
inline constexpr std::int32_t kDrawStyleDash = 1;
inline constexpr std::int32_t kDrawStyleDashDot = 3;
inline constexpr std::int32_t kDrawStyleDashDotDot = 4;

class Surface {
 public:
  virtual ~Surface() = default;

  // Erases the whole inner area to the background.
  virtual Status cls() = 0;
  // 1 = twips; setting it drops any user coordinate system.
  virtual Status setScaleMode(std::int32_t mode) = 0;
  // Inner width and height in current units.
  virtual Status scaleWidth(float& width) = 0;
  virtual Status scaleHeight(float& height) = 0;
  // The inner area's top-left becomes (x1, y1), its bottom-right (x2, y2); y1 > y2 turns Y up.
  virtual Status setScale(double x1, double y1, double x2, double y2) = 0;
  virtual Status setFontSize(double points) = 0;
  // 0 solid, 1 dash, 3 dash-dot, 4 dash-dot-dot, for what is drawn next.
  virtual Status setDrawStyle(std::int32_t style) = 0;
  virtual Status line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  virtual Status circle(float x, float y, float r, Rgb colour) = 0;
  // The arc from start to end, counter-clockwise on the screen, radians from +X.
  virtual Status arc(float x, float y, float r, Rgb colour, float start, float end) = 0;

  // The part of the picture this surface keeps, in current units (lowest x and y first),
  // widened by as much as a shape can reach past its outline: false when it keeps every
  // call (a picture shown whole, a recording), so that Reflash hands over every entity.
  // Otherwise Reflash may leave out entities that cannot reach it; what it keeps is the same.
  virtual bool shownArea(double& /*x1*/, double& /*y1*/, double& /*x2*/, double& /*y2*/) const { return false; }
};

// The control's own client area, as Resize reads it.
class ClientArea {
 public:
  virtual ~ClientArea() = default;
  virtual Status scaleLeft(float& value) = 0;
  virtual Status scaleTop(float& value) = 0;
  virtual Status scaleWidth(float& value) = 0;
  virtual Status scaleHeight(float& value) = 0;
};

}  // namespace trazo
