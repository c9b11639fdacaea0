// How the antialiased raster lays a colour over a pixel: a linear blend of the 8-bit sRGB
// values, weighted by the coverage in 256ths, each channel
//   out = floor((under * (256 - w) + over * w + 128) / 256),  w in 0 .. 256,
// so that w = 256 gives the colour itself and w = 0 leaves the pixel as it was. No gamma,
// no floating point: the same integers on every processor and in the browser.
#pragma once

#include <cstdint>

namespace trazo {

// The same sum as under + floor(((over - under) * w + 128) / 256): one product a channel
// rather than two. Red and blue side by side in one word, then green, each worked modulo
// 2^32: a lane's difference may borrow from the lane above, but the borrow only moves bits
// that the mask drops, and the lane's own eight bits come out exact.
inline std::uint32_t blendPixel(std::uint32_t under, std::uint32_t over, std::uint32_t weight) {
  const std::uint32_t underRedBlue = under & 0xFF00FFu, underGreen = under & 0xFF00u;
  const std::uint32_t redBlue = ((((over & 0xFF00FFu) - underRedBlue) * weight + 0x800080u) >> 8) + underRedBlue;
  const std::uint32_t green = ((((over & 0xFF00u) - underGreen) * weight + 0x8000u) >> 8) + underGreen;
  return 0xFF000000u | (redBlue & 0xFF00FFu) | (green & 0xFF00u);
}

}  // namespace trazo
