// Which parts of a band are already written wholly, while its commands are drawn from the
// last back to the first (dash_mask.hpp, Under): a command that reaches only tiles every
// pixel of which is written can change nothing and is passed over. A tile is 16 x 16 pixels
// (less at the band's right and bottom edges). Pixels are only ever added, so each tile
// keeps how far its pixels are known written, and each row of tiles links every tile to the
// next one not known whole: no pixel is looked at twice, and a query over a long run of whole
// tiles costs a step or two.
#pragma once

#include "raster/raster_band.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace trazo {

// The tiles of one band a command may reach, packed in a word: columns first .. last (12
// bits each) and rows first .. last of the band's tiles (4 bits each). kNoTileBox (its first
// column after its last) stands for a command that is not asked about, or one beyond what
// the word holds, whose own bounds are then asked.
using TileBox = std::uint32_t;
inline constexpr TileBox kNoTileBox = 0xFFFu;

class CoverTiles {
 public:
  // False when there is no memory for the band's tiles.
  bool reset(const RasterBand& band);
  // Whether every pixel of the tiles that columns `left`..`right` and rows `top`..`bottom`
  // (in the picture, cut to the band and the picture here) meet is written.
  bool covered(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);
  // The same for the tiles of a box (never kNoTileBox).
  bool covered(TileBox box) {
    return coveredTiles(static_cast<int>(box & 0xFFFu), static_cast<int>((box >> 24) & 0xFu),
                        static_cast<int>((box >> 12) & 0xFFFu), static_cast<int>(box >> 28));
  }
  // The tiles that columns `left`..`right` and rows `top`..`bottom` meet in the band of rows
  // bandTop .. bandBottom - 1 of a picture `width` pixels wide.
  static TileBox boxOf(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, int bandTop,
                       int bandBottom, int width);

 private:
  static constexpr int kShift = 4;
  struct TileRange {
    int firstColumn, firstRow, lastColumn, lastRow;  // rows of the band's tiles
  };
  // The tiles that columns `left`..`right` and rows `top`..`bottom`, cut to the band of rows
  // bandTop .. bandBottom - 1 and to the picture, meet; false when nothing is left.
  static bool tilesMet(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, int bandTop,
                       int bandBottom, int width, TileRange& tiles);
  bool coveredTiles(int firstColumn, int firstRow, int lastColumn, int lastRow);
  bool tileCovered(int column, int row);
  // The first tile of `row` at or after `column` not known whole (columns_ for none).
  int nextOpen(int row, int column);

  RasterBand band_;
  int columns_ = 0, rows_ = 0;
  // Per tile: how many of its pixels, in row order, are known written.
  std::vector<std::uint16_t> known_;
  // Per row of tiles, columns_ + 1 links: a tile's own column while it is open, else a
  // column further right from which to look on.
  std::vector<std::int32_t> next_;
};

// Inline: every command recorded asks for its box once for each band it reaches.
inline bool CoverTiles::tilesMet(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                                 int bandTop, int bandBottom, int width, TileRange& tiles) {
  left = std::max<std::int64_t>(left, 0);
  right = std::min<std::int64_t>(right, width - 1);
  top = std::max<std::int64_t>(top, bandTop) - bandTop;
  bottom = std::min<std::int64_t>(bottom, bandBottom - 1) - bandTop;
  if (left > right || top > bottom) return false;
  tiles = {static_cast<int>(left >> kShift), static_cast<int>(top >> kShift), static_cast<int>(right >> kShift),
           static_cast<int>(bottom >> kShift)};
  return true;
}

inline TileBox CoverTiles::boxOf(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                                 int bandTop, int bandBottom, int width) {
  TileRange r;
  if (!tilesMet(left, top, right, bottom, bandTop, bandBottom, width, r) || r.lastColumn > 0xFFF || r.lastRow > 0xF)
    return kNoTileBox;
  return static_cast<TileBox>(r.firstColumn) | static_cast<TileBox>(r.lastColumn) << 12 |
         static_cast<TileBox>(r.firstRow) << 24 | static_cast<TileBox>(r.lastRow) << 28;
}

}  // namespace trazo
