// P1's drawing surface on GDI. Everything is drawn into an off-screen 32-bit bitmap the size
// of P1's inner area; the window shows it on WM_PAINT and after Reflash, and without a
// window (a control made by CreateObject) the bitmap is the whole picture. Units are twips
// at the display's logical resolution until Scale sets a user system.
#pragma once

#include "base/scaled_surface.hpp"

#include <windows.h>

namespace trazo::win32 {

// Logical pixels per inch of the display, horizontally and vertically.
struct LogicalDpi {
  int x = 96;
  int y = 96;
};
LogicalDpi displayDpi();

// Cls paints this: the palette's light colours are chosen to stand out on a dark ground.
inline constexpr COLORREF kBackground = RGB(0, 0, 0);

class GdiSurface final : public ScaledSurface {
 public:
  // Starts off screen, at the given inner size in twips.
  GdiSurface(double widthTwips, double heightTwips);
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  // --- Surface ---
  Status cls() override;
  Status setFontSize(double points) override;
  Status setDrawStyle(std::int32_t style) override;
  Status line(float x1, float y1, float x2, float y2, Rgb colour) override;
  Status circle(float x, float y, float r, Rgb colour) override;
  Status arc(float x, float y, float r, Rgb colour, float start, float end) override;
  Status setLeft(float left) override;
  Status setTop(float top) override;
  Status setWidth(float width) override;
  Status setHeight(float height) override;

  // --- the window side ---
  // With a window the placement setters move it; without one they size the bitmap.
  void attachWindow(HWND window) { window_ = window; }
  void detachWindow() { window_ = nullptr; }
  // P1's inner area changed to this many pixels.
  void resizeCanvas(int width, int height);
  // Copies the picture to `target` at its top-left, or stretched into `bounds`.
  void present(HDC target) const;
  void present(HDC target, const RECT& bounds) const;
  // A point of P1 in pixels, in current units.
  void pixelToUnits(int px, int py, float& x, float& y) const;

  int pixelWidth() const { return width_; }
  int pixelHeight() const { return height_; }
  // The colour of one pixel of the picture, or CLR_INVALID outside it.
  COLORREF pixel(int px, int py) const;

 private:
  struct Placement {
    double left, top, width, height;
  };
  bool toPixels(double x, double y, double& px, double& py) const;
  void applyPlacement();
  Status place(double& field, float value, bool isSize);
  void selectPen(Rgb colour);
  void dropPen();

  LogicalDpi dpi_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  HGDIOBJ originalPen_ = nullptr;
  HPEN pen_ = nullptr;
  Rgb penColour_;
  std::int32_t penStyle_ = -1;
  std::int32_t drawStyle_ = kDrawStyleSolid;
  int width_ = 0;
  int height_ = 0;
  Placement placement_{};
};

}  // namespace trazo::win32
