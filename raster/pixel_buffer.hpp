// The raster picture: 32-bit pixels 0xFFRRGGBB, row by row from the top, no padding. The
// same memory serves a QImage (Format_RGB32), a Windows top-down DIB and a PNG encoder.
#pragma once

#include "base/colour.hpp"

#include <cstdint>
#include <vector>

namespace trazo {

constexpr std::uint32_t pixelOf(Rgb c) {
  return 0xFF000000u | static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 | c.blue;
}

class PixelBuffer {
 public:
  // Fails (returns false, keeping the old picture) when the memory cannot be had.
  bool resize(int width, int height, Rgb background) { return resizeFilled(width, height, pixelOf(background)); }
  // The same with every pixel `pixel`, written once.
  bool resizeFilled(int width, int height, std::uint32_t pixel);

  int width() const { return width_; }
  int height() const { return height_; }
  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
  const std::uint32_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }
  const std::uint32_t* data() const { return pixels_.data(); }
  std::uint32_t* data() { return pixels_.data(); }
  std::uint32_t at(int x, int y) const { return row(y)[x]; }
  // Fills the rows from `top` up to `bottom`.
  void fillRows(int top, int bottom, std::uint32_t pixel);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace trazo
