#include "raster/pixel_buffer.hpp"

#include <algorithm>
#include <cstdint>
#include <new>

namespace trazo {

bool PixelBuffer::resizeFilled(int width, int height, std::uint32_t pixel) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  // Counted in 64 bits: where size_t has 32 (the browser, 32-bit Windows) a large picture
  // would otherwise wrap round to a small buffer.
  const auto count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (count > pixels_.max_size()) return false;
  try {
    std::vector<std::uint32_t> fresh(static_cast<std::size_t>(count), pixel);
    pixels_.swap(fresh);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = width;
  height_ = height;
  return true;
}

void PixelBuffer::fillRows(int top, int bottom, std::uint32_t pixel) {
  if (top >= bottom) return;
  std::fill(row(top), row(bottom), pixel);
}

}  // namespace trazo
