// The front end between the painters and every back end: P1's operations in the current
// units become device work, decided once for all shells. It keeps P1's coordinate system
// (twips at 1440 to the device's logical inch, or the user system of Scale), maps points to
// device pixels, skips what is not a finite number, cuts segments to the picture, drops
// circles that miss the picture or surround it, turns huge circles into segments where they
// cross it, reads arc angles by the sweep rules and picks the dash pattern. The back end
// (raster or vector) only draws what it is handed.
#pragma once

#include "picture/scaled_surface.hpp"
#include "device/colour_map.hpp"
#include "device/device_clip.hpp"
#include "device/device_engine.hpp"
#include "device/device_pen.hpp"

#include <vector>

namespace trazo {

// Circles up to this radius in pixels reach the back end as circles; larger ones as the
// segments of the part that crosses the picture.
inline constexpr double kLargestRoundRadius = 32768;
// Beyond this radius doubles cannot place an outline to a pixel: such circles are skipped.
inline constexpr double kLargestPlaceableRadius = 1e15;
// Segments are cut to the picture widened by this many pixels on every side, and by half
// the pen's width for a wide pen.
inline constexpr double kSegmentMargin = 2;

class DeviceSurface : public ScaledSurface {
 public:
  DeviceSurface();

  // The inner area in device pixels and the device's logical resolution (dots per inch).
  void setDevice(double widthPixels, double heightPixels, double dpiX, double dpiY);
  double widthPixels() const { return widthPixels_; }
  double heightPixels() const { return heightPixels_; }
  double dpiX() const { return dpiX_; }
  double dpiY() const { return dpiY_; }

  // Where the drawing goes; none draws nothing (the coordinate system still follows).
  void setEngine(DeviceEngine* engine) {
    engine_ = engine;
    updateShownBoxes();
  }
  DeviceEngine* engine() const { return engine_; }
  // What Cls paints.
  void setBackground(Rgb colour) { background_ = colour; }
  Rgb background() const { return background_; }
  // The host's pen for every line and outline (the classic one pixel unless it says).
  void setPen(const DevicePen& pen);
  const DevicePen& pen() const { return pen_; }
  // Colours the host paints in place of those the control hands over.
  void setColourMap(const ColourMap& map) { colourMap_ = map; }
  Rgb mapColour(Rgb colour) const { return colourMap_.empty() ? colour : colourMap_(colour); }
  // The dash pattern of the style in effect.
  DashPattern dash() const { return dash_; }

  // A point in current units to device pixels, and a device position back to current units.
  DevicePoint toDevice(double x, double y) const { return {(x - originX_) * scaleX_, (y - originY_) * scaleY_}; }
  DevicePoint fromDevice(double px, double py) const;
  // Device pixels to one current unit along X, the scale of every radius.
  double pixelsPerUnitX() const { return scaleX_; }

  Status cls() override;
  Status setScaleMode(std::int32_t mode) override;
  Status setScale(double x1, double y1, double x2, double y2) override;
  Status setFontSize(double points) override;
  Status setDrawStyle(std::int32_t style) override;
  Status line(float x1, float y1, float x2, float y2, Rgb colour) override;
  Status circle(float x, float y, float r, Rgb colour) override;
  Status arc(float x, float y, float r, Rgb colour, float start, float end) override;
  // The back end's window, when it is smaller than the picture, widened by the pen's reach.
  bool shownArea(double& x1, double& y1, double& x2, double& y2) const override;

 private:
  void updateTransform();
  // The boxes of the back end's window, read again on every Cls: it may keep a new one.
  void updateShownBoxes();
  // Of dash_ with pen_'s unit, in device pixels.
  double dashPeriod() const;
  // How far into the pattern a segment cut from (fromX, fromY) to (toX, toY) begins.
  double cutLength(double fromX, double fromY, double toX, double toY) const;
  Status segment(double x1, double y1, double x2, double y2, Rgb colour);
  // Whether a segment's pixels all lie outside the back end's window, widened by `by`.
  bool missesShown(double x1, double y1, double x2, double y2, double by = 0) const;
  Status round(double x, double y, double r, Rgb colour, double start, double span, bool whole);
  Status radiusLine(double cx, double cy, double r, double angle, Rgb colour);
  // Segments along `points`, the dash pattern running on from one to the next.
  Status chords(const std::vector<DevicePoint>& points, Rgb colour);

  DeviceEngine* engine_ = nullptr;
  Rgb background_;
  double widthPixels_ = 0, heightPixels_ = 0;
  double dpiX_ = kScreenDpi, dpiY_ = kScreenDpi;
  // device = (current - origin) * scale
  double originX_ = 0, scaleX_ = 1, originY_ = 0, scaleY_ = 1;
  DeviceRect segmentBox_;
  DeviceRect roundBox_;
  // The same boxes around the part of the picture the back end keeps: what misses them is
  // not handed over. The shapes are still cut to the boxes of the whole picture, so that
  // what is handed over draws the same pixels whatever the window.
  DeviceRect shownSegmentBox_;
  DeviceRect shownRoundBox_;
  DashPattern dash_ = DashPattern::solid;
  DevicePen pen_;
  ColourMap colourMap_;
};

}  // namespace trazo
