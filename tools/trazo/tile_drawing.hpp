// One tile of a pyramid drawn into PNG bytes in memory, before anything is written: a tile
// whose picture ran short of memory (in the raster, the spatial index, the encoder or the
// bytes themselves) is reported as such and never becomes a file that looks whole.
#pragma once

#include "control/trazo.hpp"
#include "shells/qt/picture_options.hpp"

#include <string>
#include <vector>

namespace trazo::cli {

// Tile (x, y) of zoom `zoom`, `side` pixels square, of the picture side * 2^zoom pixels square.
struct TileAt {
  int zoom = 0;
  int x = 0;
  int y = 0;
  int side = 256;
};

struct TileDrawing {
  bool drawn = false;               // `png` holds the whole tile
  std::string error;                // why it was not drawn
  Status paintStatus = status::ok;  // Reflash's; a failure other than out of memory still draws
};

// Draws the tile into `png` (emptied first). Never throws; out of memory leaves drawn false.
[[nodiscard]] TileDrawing drawTile(Trazo& control, const TileAt& at, const qt::PictureOptions& options,
                                   std::vector<unsigned char>& png) noexcept;

}  // namespace trazo::cli
