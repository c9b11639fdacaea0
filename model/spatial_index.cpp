#include "model/spatial_index.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

namespace trazo {
namespace {

// The finest grid has about one cell for every four entities, at most this many a side;
// each coarser level has a quarter of the cells of the one below, down to one cell.
constexpr std::int32_t kLargestSide = 2048;
constexpr std::int32_t kLevelStep = 2;
// Entities added since the build are looked at one by one up to this share of those built.
constexpr std::int32_t kRebuildShare = 4;

bool finite(const Extents& b) {
  return std::isfinite(b.MinX) && std::isfinite(b.MinY) && std::isfinite(b.MaxX) && std::isfinite(b.MaxY);
}

std::int32_t cellOf(double at, double origin, double cell, std::int32_t side) {
  const double c = std::floor((at - origin) / cell);
  if (!(c >= 0)) return 0;
  return c >= side ? side - 1 : static_cast<std::int32_t>(c);
}

}  // namespace

bool SpatialIndex::meets(const Extents& b, const Extents& area) {
  if (!finite(b)) return true;
  return b.MinX <= area.MaxX && b.MaxX >= area.MinX && b.MinY <= area.MaxY && b.MaxY >= area.MinY;
}

void SpatialIndex::clear() {
  levels_.clear();
  std::vector<std::uint32_t>().swap(cellStart_);
  std::vector<std::int32_t>().swap(entries_);
  std::vector<std::int32_t>().swap(everywhere_);
  std::vector<std::uint64_t>().swap(marks_);
  built_ = indexed_ = 0;
}

bool SpatialIndex::update(const Store& store) {
  const std::int32_t count = store.count();
  if (store.generation() != generation_ || count < indexed_) clear();
  generation_ = store.generation();
  try {
    if (count - built_ > built_ / kRebuildShare + 64) return build(store);
  } catch (const std::bad_alloc&) {
    clear();
    return false;
  }
  indexed_ = count;
  return true;
}

bool SpatialIndex::build(const Store& store) {
  clear();
  const std::int32_t count = store.count();
  domain_ = store.extents();
  const double width = std::max(domain_.MaxX - domain_.MinX, 0.0);
  const double height = std::max(domain_.MaxY - domain_.MinY, 0.0);
  if (!std::isfinite(width) || !std::isfinite(height)) {  // no grid: walked one by one
    indexed_ = count;
    return true;
  }

  std::int32_t side = 1;
  while (side < kLargestSide && static_cast<double>(side) * side * 4 < count) side *= 2;
  std::size_t cells = 0;
  for (std::int32_t s = side;; s /= kLevelStep) {
    s = std::max(s, 1);
    Level level;
    level.side = s;
    level.cellWidth = width > 0 ? width / s : 1;
    level.cellHeight = height > 0 ? height / s : 1;
    level.firstCell = cells;
    levels_.push_back(level);
    cells += static_cast<std::size_t>(s) * static_cast<std::size_t>(s);
    if (s == 1) break;
  }

  // Each entity's cell (or `cells` for the candidates of every rectangle), counted per cell,
  // then the entities placed in rising order within their cells.
  std::vector<std::uint32_t> cellOfEntity(static_cast<std::size_t>(count));
  cellStart_.assign(cells + 2, 0);
  Store::Reader reader(store);
  Extents b;
  for (std::int32_t i = 1; i <= count; ++i) {
    std::size_t cell = cells;
    if (reader.boundsAt(i, b) && finite(b)) {
      for (const Level& level : levels_) {
        if (b.MaxX - b.MinX > level.cellWidth || b.MaxY - b.MinY > level.cellHeight) continue;
        const std::int32_t x = cellOf((b.MinX + b.MaxX) / 2, domain_.MinX, level.cellWidth, level.side);
        const std::int32_t y = cellOf((b.MinY + b.MaxY) / 2, domain_.MinY, level.cellHeight, level.side);
        cell = level.firstCell + static_cast<std::size_t>(y) * static_cast<std::size_t>(level.side) +
               static_cast<std::size_t>(x);
        break;
      }
    }
    cellOfEntity[static_cast<std::size_t>(i - 1)] = static_cast<std::uint32_t>(cell);
    ++cellStart_[cell + 1];
  }
  for (std::size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  const std::uint32_t placedInCells = cellStart_[cells];
  entries_.resize(placedInCells);
  everywhere_.reserve(static_cast<std::size_t>(count) - placedInCells);
  std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (std::int32_t i = 1; i <= count; ++i) {
    const std::uint32_t cell = cellOfEntity[static_cast<std::size_t>(i - 1)];
    if (cell == cells) {
      everywhere_.push_back(i);
    } else {
      entries_[next[cell]++] = i;
    }
  }
  marks_.assign(static_cast<std::size_t>(count) / 64 + 1, 0);
  built_ = indexed_ = count;
  return true;
}

void SpatialIndex::mark(const Store& store, const Extents& area) {
  firstMarked_ = marks_.size();
  lastMarked_ = 0;
  Store::Reader reader(store);
  Extents b;
  const auto take = [&](std::int32_t i) {
    if (!reader.boundsAt(i, b) || !meets(b, area)) return;
    const auto word = static_cast<std::size_t>(i) / 64;
    marks_[word] |= std::uint64_t{1} << (static_cast<unsigned>(i) % 64);
    firstMarked_ = std::min(firstMarked_, word);
    lastMarked_ = std::max(lastMarked_, word);
  };
  for (const Level& level : levels_) {
    // A cell's entities reach at most half a cell past it.
    const std::int32_t x0 = cellOf(area.MinX - level.cellWidth / 2, domain_.MinX, level.cellWidth, level.side);
    const std::int32_t x1 = cellOf(area.MaxX + level.cellWidth / 2, domain_.MinX, level.cellWidth, level.side);
    const std::int32_t y0 = cellOf(area.MinY - level.cellHeight / 2, domain_.MinY, level.cellHeight, level.side);
    const std::int32_t y1 = cellOf(area.MaxY + level.cellHeight / 2, domain_.MinY, level.cellHeight, level.side);
    for (std::int32_t y = y0; y <= y1; ++y) {
      const std::size_t row = level.firstCell + static_cast<std::size_t>(y) * static_cast<std::size_t>(level.side);
      for (std::uint32_t e = cellStart_[row + static_cast<std::size_t>(x0)];
           e < cellStart_[row + static_cast<std::size_t>(x1) + 1]; ++e) {
        take(entries_[e]);
      }
    }
  }
  for (const std::int32_t i : everywhere_) take(i);
}

bool SpatialIndex::query(const Store& store, const Extents& area, std::vector<std::int32_t>& found) {
  found.clear();
  mark(store, area);
  try {
    for (std::size_t w = firstMarked_; w <= lastMarked_ && w < marks_.size(); ++w) {
      std::uint64_t bits = marks_[w];
      marks_[w] = 0;
      while (bits != 0) {
        found.push_back(static_cast<std::int32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
        bits &= bits - 1;
      }
    }
    Store::Reader reader(store);
    Extents b;
    for (std::int32_t i = built_ + 1; i <= indexed_; ++i) {
      if (reader.boundsAt(i, b) && meets(b, area)) found.push_back(i);
    }
  } catch (const std::bad_alloc&) {
    std::fill(marks_.begin(), marks_.end(), 0);
    return false;
  }
  return true;
}

}  // namespace trazo
