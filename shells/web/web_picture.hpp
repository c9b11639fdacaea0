// P1 of the web element: a canvas placed in the element's client area. Its placement is
// kept in CSS pixels for the element to apply to the canvas (the client area's twips are
// those of CSS, 96 pixels to the inch), and whatever is painted goes through the raster
// back end at the canvas's device pixels.
#pragma once

#include "device/device_surface.hpp"
#include "raster/raster_engine.hpp"

namespace trazo::web {

// A CSS pixel is 1/96 inch whatever the screen; a device pixel ratio of 2 gives twice the
// device pixels each way, and twips keep their size.
inline constexpr double kCssPixelsPerInch = 96;
inline constexpr double kTwipsPerCssPixel = kTwipsPerInch / kCssPixelsPerInch;

struct CssPlacement {
  double left = 0, top = 0, width = 0, height = 0;
};

class WebPicture : public DeviceSurface {
 public:
  WebPicture() { setEngine(&raster_); }
  WebPicture(const WebPicture&) = delete;
  WebPicture& operator=(const WebPicture&) = delete;

  Status setLeft(float left) override { return place(left, placement_.left); }
  Status setTop(float top) override { return place(top, placement_.top); }
  Status setWidth(float width) override { return place(width, placement_.width, true); }
  Status setHeight(float height) override { return place(height, placement_.height, true); }
  const CssPlacement& placement() const { return placement_; }

  // The canvas's backing store for `ratio` device pixels per CSS pixel: the placement's size
  // rounded to whole device pixels, twips kept at their size. False, with nothing changed,
  // when there is no memory for it.
  bool followPlacement(double ratio);
  double ratio() const { return ratio_; }

  // Draws what the painters handed over and returns the picture.
  const PixelBuffer& picture() { return raster_.picture(); }

 private:
  Status place(float twips, double& cssPixels, bool size = false);

  RasterEngine raster_;
  CssPlacement placement_;
  double ratio_ = 1;
};

}  // namespace trazo::web
