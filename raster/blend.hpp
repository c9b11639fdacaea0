// How the antialiased raster lays a colour over a pixel: a linear blend of the 8-bit sRGB
// values, weighted by the coverage in 256ths, each channel
//   out = floor((under * (256 - w) + over * w + 128) / 256),  w in 0 .. 256,
// so that w = 256 gives the colour itself and w = 0 leaves the pixel as it was. No gamma,
// no floating point: the same integers on every processor and in the browser.
#pragma once

#include <cstdint>

namespace trazo {

// Red and blue side by side in one word, then green: no channel's sum reaches the next.
inline std::uint32_t blendPixel(std::uint32_t under, std::uint32_t over, std::uint32_t weight) {
  const std::uint32_t keep = 256 - weight;
  const std::uint32_t redBlue =
      (((under & 0xFF00FFu) * keep + (over & 0xFF00FFu) * weight + 0x800080u) >> 8) & 0xFF00FFu;
  const std::uint32_t green = (((under & 0xFF00u) * keep + (over & 0xFF00u) * weight + 0x8000u) >> 8) & 0xFF00u;
  return 0xFF000000u | redBlue | green;
}

}  // namespace trazo
