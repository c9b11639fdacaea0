#include "control_picture.hpp"

#include <algorithm>
#include <cmath>

namespace trazo::win32 {
namespace {

// Window positions are kept well inside what GDI holds: a placement further out than this
// many pixels is refused.
constexpr double kLargestPlacementPixels = 1 << 20;

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
  placement_ = {0, 0, widthTwips, heightTwips};
  resizeCanvas(twipsToPixels(widthTwips, dpi_.x), twipsToPixels(heightTwips, dpi_.y));
}

void ControlPicture::resizeCanvas(int width, int height) {
  (void)setPixelSize(std::max(width, 0), std::max(height, 0), dpi_.x, dpi_.y);
}

void ControlPicture::applyPlacement() {
  const int left = twipsToPixels(placement_.left, dpi_.x);
  const int top = twipsToPixels(placement_.top, dpi_.y);
  const int width = twipsToPixels(placement_.width, dpi_.x);
  const int height = twipsToPixels(placement_.height, dpi_.y);
  if (window_ != nullptr && IsWindow(window_)) {
    // WM_SIZE of the window resizes the picture and asks for a repaint.
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    resizeCanvas(width, height);
  }
}

// A placement must be a finite number of twips within the window limit; a size cannot be
// negative.
Status ControlPicture::place(double& field, float value, bool isSize) {
  const double dpi = std::max(dpi_.x, dpi_.y);
  if (!std::isfinite(value) || std::fabs(value * dpi / kTwipsPerInch) >= kLargestPlacementPixels ||
      (isSize && value < 0)) {
    return status::invalidCall;
  }
  field = value;
  applyPlacement();
  return status::ok;
}

Status ControlPicture::setLeft(float left) { return place(placement_.left, left, false); }
Status ControlPicture::setTop(float top) { return place(placement_.top, top, false); }
Status ControlPicture::setWidth(float width) { return place(placement_.width, width, true); }
Status ControlPicture::setHeight(float height) { return place(placement_.height, height, true); }

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
