#include "raster/cover_tiles.hpp"

#include <algorithm>
#include <new>
#include <numeric>
#include <utility>

namespace trazo {

bool CoverTiles::reset(const RasterBand& band) {
  band_ = band;
  columns_ = (band.picture->width() + (1 << kShift) - 1) >> kShift;
  rows_ = (band.bottom - band.top + (1 << kShift) - 1) >> kShift;
  const auto links = static_cast<std::size_t>(columns_ + 1);
  try {
    known_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
    next_.resize(links * static_cast<std::size_t>(rows_));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::size_t row = 0; row < static_cast<std::size_t>(rows_); ++row)
    std::iota(next_.begin() + static_cast<std::ptrdiff_t>(row * links),
              next_.begin() + static_cast<std::ptrdiff_t>((row + 1) * links), 0);
  return true;
}

bool CoverTiles::covered(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  TileRange r;
  if (!tilesMet(left, top, right, bottom, band_.top, band_.bottom, band_.picture->width(), r)) return true;
  return coveredTiles(r.firstColumn, r.firstRow, r.lastColumn, r.lastRow);
}

bool CoverTiles::coveredTiles(int firstColumn, int firstRow, int lastColumn, int lastRow) {
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = nextOpen(row, firstColumn); column <= lastColumn; column = nextOpen(row, column)) {
      if (!tileCovered(column, row)) return false;
      next_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_ + 1) + static_cast<std::size_t>(column)] =
          column + 1;
    }
  }
  return true;
}

int CoverTiles::nextOpen(int row, int column) {
  std::int32_t* links = next_.data() + static_cast<std::ptrdiff_t>(row) * (columns_ + 1);
  int open = column;
  while (links[open] != open) open = links[open];
  // Every tile passed on the way now links straight to the open one.
  while (links[column] != open) column = std::exchange(links[column], open);
  return open;
}

bool CoverTiles::tileCovered(int column, int row) {
  std::uint16_t& known =
      known_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column)];
  const int left = column << kShift, top = band_.top + (row << kShift);
  const int width = std::min(1 << kShift, band_.picture->width() - left);
  const int height = std::min(1 << kShift, band_.bottom - top);
  const int size = width * height;
  while (known < size) {
    const std::uint32_t* pixels = band_.picture->row(top + known / width) + left;
    for (int x = known % width; x < width; ++x, ++known) {
      if ((pixels[x] >> 31) == 0) return false;
    }
  }
  return true;
}

}  // namespace trazo
