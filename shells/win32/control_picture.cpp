#include "control_picture.hpp"

#include <algorithm>
#include <cmath>

namespace trazo::win32 {
namespace {

// The pixel buffer as a top-down 32-bit DIB: its 0xFFRRGGBB words are BI_RGB's byte order.
BITMAPINFO dibOf(const PixelBuffer& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width();
  info.bmiHeader.biHeight = -pixels.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

ControlPicture::ControlPicture(double widthTwips, double heightTwips, BandRunner& runner)
    : RasterSurface(runner), dpi_(displayDpi()) {
  setBackground(kBackground);
  resizeCanvas(static_cast<int>(std::lround(twipsToPixels(widthTwips, dpi_.x))),
               static_cast<int>(std::lround(twipsToPixels(heightTwips, dpi_.y))));
}

void ControlPicture::resizeCanvas(int width, int height) {
  (void)setPixelSize(std::max(width, 0), std::max(height, 0), dpi_.x, dpi_.y);
}

void ControlPicture::picturePlaced(const PixelPlacement& pixels) {
  if (window_ != nullptr && IsWindow(window_)) {
    // WM_SIZE of the window resizes the picture and asks for a repaint.
    SetWindowPos(window_, nullptr, pixels.left, pixels.top, pixels.width, pixels.height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    resizeCanvas(pixels.width, pixels.height);
  }
}

void ControlPicture::present(HDC target) {
  const PixelBuffer& pixels = picture();
  if (target == nullptr || pixels.width() == 0 || pixels.height() == 0) return;
  const BITMAPINFO info = dibOf(pixels);
  SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(pixels.width()), static_cast<DWORD>(pixels.height()), 0, 0, 0,
                    static_cast<UINT>(pixels.height()), pixels.data(), &info, DIB_RGB_COLORS);
}

void ControlPicture::present(HDC target, const RECT& bounds) {
  const PixelBuffer& pixels = picture();
  if (target == nullptr || pixels.width() == 0 || pixels.height() == 0) return;
  const BITMAPINFO info = dibOf(pixels);
  // Shrunk, one-pixel lines must not be merged into the dark ground; the container's own
  // mode comes back afterwards.
  const int mode = SetStretchBltMode(target, COLORONCOLOR);
  StretchDIBits(target, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, 0, 0,
                pixels.width(), pixels.height(), pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  if (mode != 0) SetStretchBltMode(target, mode);
}

}  // namespace trazo::win32
