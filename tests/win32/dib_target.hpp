// A 32-bit top-down DIB section selected into a memory DC: something to draw or copy P1
// into, whose pixels can then be read exactly as GDI left them.
#pragma once

#include "raster/pixel_buffer.hpp"

#include <windows.h>

#include <cstdint>

namespace trazo::wintest {

class DibTarget {
 public:
  DibTarget(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_ != nullptr) old_ = SelectObject(dc_, bitmap_);
  }
  ~DibTarget() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DibTarget(const DibTarget&) = delete;
  DibTarget& operator=(const DibTarget&) = delete;

  HDC dc() const { return dc_; }
  bool ready() const { return bits_ != nullptr; }
  // Paints every pixel white, so that a copy that leaves pixels out shows.
  void clear() const {
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  // The colour bytes of pixel (x, y), 0xRRGGBB; GDI leaves the fourth byte as it likes.
  std::uint32_t rgb(int x, int y) const {
    GdiFlush();
    return static_cast<const std::uint32_t*>(bits_)[y * width_ + x] & 0xFFFFFFu;
  }
  // The pixels as the raster picture holds them, 0xFFRRGGBB.
  PixelBuffer pixels() const {
    PixelBuffer out;
    if (!out.resize(width_, height_, {})) return out;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) out.row(y)[x] = 0xFF000000u | rgb(x, y);
    return out;
  }
  bool sameAs(const PixelBuffer& p) const {
    if (p.width() != width_ || p.height() != height_) return false;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (rgb(x, y) != (p.at(x, y) & 0xFFFFFFu)) return false;
    return true;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace trazo::wintest
