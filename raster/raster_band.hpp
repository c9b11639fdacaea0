// The rows of the picture one raster pass draws: the whole picture, or one horizontal band
// of it when the passes run side by side. A pass writes only its own rows, and what it
// writes there does not depend on where the band begins or ends.
#pragma once

#include "raster/pixel_buffer.hpp"

namespace trazo {

struct RasterBand {
  PixelBuffer* picture = nullptr;
  int top = 0;     // first row
  int bottom = 0;  // one past the last row
};

}  // namespace trazo
