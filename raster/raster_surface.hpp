// P1 drawn by the raster back end: the device geometry in front of a pixel buffer. Every
// shell that shows pixels (the Qt widget, PNG files, the Windows control, the browser)
// draws through one of these, so the same script gives the same pixels everywhere.
#pragma once

#include "device/device_surface.hpp"
#include "raster/raster_engine.hpp"

namespace trazo {

class RasterSurface : public DeviceSurface {
 public:
  explicit RasterSurface(BandRunner& runner = standardBandRunner()) : raster_(runner) { setEngine(&raster_); }
  RasterSurface(const RasterSurface&) = delete;
  RasterSurface& operator=(const RasterSurface&) = delete;

  // P1's inner area of `width` x `height` pixels; false, with nothing changed, when there
  // is no memory for it.
  bool setPixelSize(int width, int height, double dpiX = kScreenDpi, double dpiY = kScreenDpi) {
    if (!raster_.resize(width, height)) return false;
    setDevice(width, height, dpiX, dpiY);
    return true;
  }

  // P1's inner area of `width` x `height` pixels of which the buffer holds only `window`: a
  // large picture of which a window shows a part.
  bool setPixelWindow(int width, int height, const PixelWindow& window, double dpiX = kScreenDpi,
                      double dpiY = kScreenDpi) {
    if (!raster_.setWindow(window)) return false;
    setDevice(width, height, dpiX, dpiY);
    return true;
  }

  RasterEngine& raster() { return raster_; }
  // Antialiased lines in place of the classic aliased ones (raster_engine.hpp).
  void setAntialias(bool on) { raster_.setAntialias(on); }
  // The picture, with everything drawn so far.
  PixelBuffer& picture() { return raster_.picture(); }

 private:
  RasterEngine raster_;
};

}  // namespace trazo
