// The raster picture as a canvas's ImageData wants it: bytes R, G, B, A per pixel, rows
// from the top. The raster's 0xFFRRGGBB words lie in memory as B, G, R, A.
#pragma once

#include "raster/pixel_buffer.hpp"

#include <cstdint>
#include <vector>

namespace trazo::web {

// Fills `rgba` with one word per pixel whose bytes in memory are R, G, B, A; false, with
// `rgba` left as it was, when there is no memory for it.
bool toCanvasBytes(const PixelBuffer& picture, std::vector<std::uint32_t>& rgba);

}  // namespace trazo::web
