// P1 of the web element: a canvas placed in the element's client area. The control places
// it in CSS pixels (the client area's twips are those of CSS, 96 pixels to the inch) for the
// element to apply to the canvas, and whatever is painted goes through the raster picture
// at the canvas's device pixels.
#pragma once

#include "control/picture_placement.hpp"
#include "raster/raster_surface.hpp"

namespace trazo::web {

class WebPicture : public RasterSurface, public PlacementListener {
 public:
  void picturePlaced(const PixelPlacement& cssPixels) override { placement_ = cssPixels; }
  // Where the control last placed P1, in CSS pixels.
  const PixelPlacement& placement() const { return placement_; }

  // The canvas's backing store for `ratio` device pixels per CSS pixel (a ratio of 2 gives
  // twice the device pixels each way, and twips keep their size): the placement's size
  // rounded to whole device pixels. False, with nothing changed, when there is no memory
  // for it.
  bool followPlacement(double ratio);
  double ratio() const { return ratio_; }

 private:
  PixelPlacement placement_;
  double ratio_ = 1;
};

}  // namespace trazo::web
