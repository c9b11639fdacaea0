// PNG files of the raster picture, through libpng. The pictures are mostly runs of one
// colour, so the encoder runs zlib's run-length strategy at its fastest level: a full-HD
// picture is written in some 50 milliseconds instead of half a second.
#pragma once

#include "raster/pixel_buffer.hpp"

#include <cstddef>
#include <functional>
#include <string>

namespace trazo::png {

// Where encoded bytes go; false stops the encoding (a full disk, a closed pipe).
using ByteSink = std::function<bool(const unsigned char* data, std::size_t size)>;

// Encodes `picture` as an 8-bit RGB PNG at `dpi` dots per inch. False with `error` set when
// the sink refused bytes or libpng failed.
bool encodePng(const PixelBuffer& picture, double dpi, const ByteSink& sink, std::string& error);

// Decodes a PNG (any colour type libpng can turn into 8-bit RGB) into `picture`.
bool decodePng(const unsigned char* data, std::size_t size, PixelBuffer& picture, std::string& error);

}  // namespace trazo::png
