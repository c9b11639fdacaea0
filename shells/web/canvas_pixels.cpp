#include "shells/web/canvas_pixels.hpp"

#include <new>

namespace trazo::web {

bool toCanvasBytes(const PixelBuffer& picture, std::vector<std::uint32_t>& rgba) {
  const std::size_t count = static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(picture.height());
  try {
    rgba.resize(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // WebAssembly is little-endian: red swaps places with blue, green and alpha stay.
  const std::uint32_t* from = picture.data();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t p = from[i];
    rgba[i] = (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
  }
  return true;
}

}  // namespace trazo::web
