#include "tools/trazo/tile_drawing.hpp"

#include "shells/qt/picture_files.hpp"

#include <new>

namespace trazo::cli {

TileDrawing drawTile(Trazo& control, const TileAt& at, const qt::PictureOptions& options,
                     std::vector<unsigned char>& png) noexcept {
  TileDrawing tile;
  png.clear();
  try {
    qt::PictureOptions windowed = options;
    windowed.window = {at.x * at.side, at.y * at.side, at.side, at.side};
    const int across = at.side << at.zoom;
    // The encoder calls the sink from C: no exception may leave it.
    bool bytesLost = false;
    const png::ByteSink keep = [&](const unsigned char* data, std::size_t n) {
      try {
        png.insert(png.end(), data, data + n);
        return true;
      } catch (const std::bad_alloc&) {
        bytesLost = true;
        return false;
      }
    };
    const qt::WriteResult result =
        qt::writePicture(control, qt::PictureFormat::png, QSize(across, across), windowed, keep);
    tile.paintStatus = result.paintStatus;
    if (bytesLost || tile.paintStatus == status::outOfMemory) {
      tile.error = "out of memory";
    } else if (!result.written) {
      tile.error = result.error.toStdString();
    } else {
      tile.drawn = true;
    }
  } catch (const std::bad_alloc&) {
    tile.drawn = false;
    tile.error = "out of memory";
  }
  if (!tile.drawn) png.clear();
  return tile;
}

}  // namespace trazo::cli
