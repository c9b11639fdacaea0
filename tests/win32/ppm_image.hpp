// Pictures as binary PPM (P6, 8-bit RGB): the form in which the Wine suite compares the
// control's pixels with the Linux raster, byte for byte with cmp.
#pragma once

#include "raster/pixel_buffer.hpp"

#include <string>

namespace trazo::wintest {

inline std::string ppmBytes(const PixelBuffer& picture) {
  std::string out = "P6\n" + std::to_string(picture.width()) + " " + std::to_string(picture.height()) + "\n255\n";
  out.reserve(out.size() + static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(picture.height()) * 3);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const std::uint32_t p = picture.at(x, y);
      out += static_cast<char>(p >> 16 & 0xFF);
      out += static_cast<char>(p >> 8 & 0xFF);
      out += static_cast<char>(p & 0xFF);
    }
  }
  return out;
}

}  // namespace trazo::wintest
