// P1 of the Windows control: the raster picture every shell draws, in the display's pixels.
// Where the control places P1 moves and sizes the picture window or, with no window (a
// control made by CreateObject), the picture itself. The window shows the pixel buffer as
// it is, so the control's pixels are those of every other shell for the same drawing and
// size.
#pragma once

#include "display_units.hpp"
#include "thread_band_runner.hpp"

#include "control/picture_placement.hpp"
#include "raster/raster_surface.hpp"

#include <windows.h>

namespace trazo::win32 {

// Cls paints this: the palette's light colours are chosen to stand out on a dark ground.
inline constexpr Rgb kBackground{0, 0, 0};

class ControlPicture final : public RasterSurface, public PlacementListener {
 public:
  // Starts off screen, at the given inner size in twips.
  ControlPicture(double widthTwips, double heightTwips, BandRunner& runner = threadBandRunner());

  // With a window a placement moves it; without one it sizes the picture.
  void picturePlaced(const PixelPlacement& pixels) override;
  void attachWindow(HWND window) { window_ = window; }
  void detachWindow() { window_ = nullptr; }
  // P1's inner area changed to this many pixels; a size that finds no memory keeps the old
  // picture.
  void resizeCanvas(int width, int height);
  // Draws what the control handed over and copies the picture to `target` at its top-left,
  // or stretched into `bounds`.
  void present(HDC target);
  void present(HDC target, const RECT& bounds);

  int pixelWidth() const { return static_cast<int>(widthPixels()); }
  int pixelHeight() const { return static_cast<int>(heightPixels()); }
  const LogicalDpi& dpi() const { return dpi_; }

 private:
  LogicalDpi dpi_;
  HWND window_ = nullptr;
};

}  // namespace trazo::win32
