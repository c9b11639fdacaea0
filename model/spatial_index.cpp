#include "model/spatial_index.hpp"

#include "base/prefetch.hpp"
#include "base/worker_pool.hpp"
#include "model/cell_steps.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

namespace trazo {
namespace {

// The finest grid has about one cell for every kEntitiesPerCell entities, at most this many
// a side; each coarser level has a quarter of the cells of the one below, down to one cell.
// Cells of a dozen or so entities keep the counters a build scatters into small enough to
// stay in the processor's caches, and cost a window's query only a few more bounds looked at.
constexpr std::int32_t kLargestSide = 2048;
constexpr std::int32_t kEntitiesPerCell = 16;
constexpr std::int32_t kLevelStep = 2;
// Entities added since the build are looked at one by one up to this share of those built.
constexpr std::int32_t kRebuildShare = 4;
// Bounds the build reads at a time, and how many entities ahead it asks for the counters and
// entries it is about to change: the cells are all over memory, so each change would
// otherwise wait for its own read.
constexpr std::int32_t kRun = 256;
constexpr std::size_t kAhead = 16;
// A build of this many entities or more is shared among up to this many threads.
constexpr std::int32_t kSharedBuildFrom = 65536;
constexpr int kMostBuildParts = 4;

bool finite(const Extents& b) {
  return std::isfinite(b.MinX) && std::isfinite(b.MinY) && std::isfinite(b.MaxX) && std::isfinite(b.MaxY);
}

// The cell of `at` along one axis of a level, clamped to the grid. Multiplied, not divided,
// and truncated once known not negative; the build and the queries share it, so that both
// round alike.
std::int32_t cellOf(double at, double origin, double perCell, std::int32_t side) {
  const double c = (at - origin) * perCell;
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
  entries_.reset();
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
  while (side < kLargestSide && static_cast<double>(side) * side * kEntitiesPerCell < count) side *= 2;
  std::size_t cells = 0;
  for (std::int32_t s = side;; s /= kLevelStep) {
    s = std::max(s, 1);
    Level level;
    level.side = s;
    level.cellWidth = width > 0 ? width / s : 1;
    level.cellHeight = height > 0 ? height / s : 1;
    level.perWidth = 1 / level.cellWidth;
    level.perHeight = 1 / level.cellHeight;
    level.stepped = std::isfinite(level.perWidth) && std::isfinite(level.perHeight);
    level.firstCell = cells;
    levels_.push_back(level);
    cells += static_cast<std::size_t>(s) * static_cast<std::size_t>(s);
    if (s == 1) break;
  }
  const auto everywhere = static_cast<std::uint32_t>(cells);

  // The cell of bounds `b`: on the finest level whose cells are at least as large, at the
  // centre; `everywhere` when too large for every level or not finite. The level comes
  // without a branch from the exponent of the size in finest cells (each level's cells are
  // twice as large as the one's below), rounded up and a little more so that rounding cannot
  // make it too small, then checked, and stepped up if the cells do not double.
  const Level& finest = levels_.front();
  const auto levelCount = static_cast<std::int64_t>(levels_.size());
  struct Place {
    std::uint32_t cell;
    const Level* level;  // none for `everywhere`
    std::int32_t x, y;
  };
  const auto placeOf = [&](const Extents& b) -> Place {
    const double w = b.MaxX - b.MinX, h = b.MaxY - b.MinY;
    if (!(w - w == 0 && h - h == 0)) return {everywhere, nullptr, 0, 0};  // not finite
    const double across = std::max(std::fabs(w) * finest.perWidth, std::fabs(h) * finest.perHeight) * (1 + 0x1p-40);
    std::uint64_t bits = 0;  // the double's bits (not std::bit_cast: the web's library lacks it)
    std::memcpy(&bits, &across, sizeof bits);
    constexpr std::uint64_t kFraction = (std::uint64_t{1} << 52) - 1;
    std::int64_t l = static_cast<std::int64_t>(bits >> 52) - 1023 + ((bits & kFraction) != 0 ? 1 : 0);
    l = std::max<std::int64_t>(l, 0);
    while (l < levelCount && (w > levels_[static_cast<std::size_t>(l)].cellWidth ||
                              h > levels_[static_cast<std::size_t>(l)].cellHeight)) {
      ++l;
    }
    if (l >= levelCount) return {everywhere, nullptr, 0, 0};
    const Level* const level = &levels_[static_cast<std::size_t>(l)];
    const std::int32_t x = cellOf((b.MinX + b.MaxX) / 2, domain_.MinX, level->perWidth, level->side);
    const std::int32_t y = cellOf((b.MinY + b.MaxY) / 2, domain_.MinY, level->perHeight, level->side);
    const std::size_t cell = level->firstCell + static_cast<std::size_t>(y) * static_cast<std::size_t>(level->side) +
                             static_cast<std::size_t>(x);
    return {static_cast<std::uint32_t>(cell), level, x, y};
  };

  // Two passes over the bounds, each shared among the pool's threads by ranges of entities
  // and read a run at a time: the first counts each range's entities of each cell (the
  // last cell holds the candidates for every rectangle), the second, the counts made
  // starts, places them, each range's after those of the ranges before it so that a cell's
  // entities stay in rising order. Working the cells out twice costs less than keeping
  // them: memory the process has not touched yet is slow to come by. The last range counts
  // in cellStart_ itself, so that once its entities are placed cellStart_[c + 1] is the end
  // of cell c, which is the start of c + 1.
  const int parts = count >= kSharedBuildFrom ? std::min(sharedWorkerPool().parallelism(), kMostBuildParts) : 1;
  const std::size_t tallySize = cells + 1;
  cellStart_.assign(cells + 2, 0);
  entries_.reset(new Entry[static_cast<std::size_t>(count)]);
  std::vector<std::uint32_t> earlierTallies(static_cast<std::size_t>(parts - 1) * tallySize, 0);
  const auto tallyOf = [&](int part) {
    return part == parts - 1 ? cellStart_.data() + 1
                             : earlierTallies.data() + static_cast<std::size_t>(part) * tallySize;
  };
  Entry* const entries = entries_.get();
  const auto pass = [&](int part, auto&& visit) {
    Extents bounds[kRun];
    Place places[kRun];
    Store::Reader reader(store);
    const auto first = static_cast<std::int32_t>(std::int64_t{count} * part / parts) + 1;
    const auto last = static_cast<std::int32_t>(std::int64_t{count} * (part + 1) / parts);
    for (std::int32_t i = first; i <= last;) {
      std::int32_t n = reader.boundsRun(i, std::min(kRun, last - i + 1), bounds);
      if (n == 0) {  // no record to read there
        places[0] = {everywhere, nullptr, 0, 0};
        n = 1;
      } else {
        for (std::int32_t k = 0; k < n; ++k) places[k] = placeOf(bounds[k]);
      }
      for (std::int32_t k = 0; k < n; ++k) visit(k, n, i + k, bounds[k], places);
      i += n;
    }
  };
  (void)sharedWorkerPool().runEach(parts, parts, [&](int part) {
    std::uint32_t* const tally = tallyOf(part);
    pass(part, [&](std::int32_t k, std::int32_t n, std::int32_t, const Extents&, const Place* places) {
      if (k + static_cast<std::int32_t>(kAhead) < n) prefetchForWrite(tally + places[k + kAhead].cell);
      ++tally[places[k].cell];
    });
  });
  // Each range's count of a cell becomes where its entities of the cell start.
  std::uint32_t placed = 0;
  for (std::size_t c = 0; c < tallySize; ++c) {
    for (int part = 0; part < parts; ++part) {
      std::uint32_t& tally = tallyOf(part)[c];
      const std::uint32_t n = tally;
      tally = placed;
      placed += n;
    }
  }
  (void)sharedWorkerPool().runEach(parts, parts, [&](int part) {
    std::uint32_t* const next = tallyOf(part);
    pass(part, [&](std::int32_t k, std::int32_t n, std::int32_t i, const Extents& b, const Place* places) {
      if (k + static_cast<std::int32_t>(kAhead) < n) prefetchForWrite(next + places[k + kAhead].cell);
      if (k + static_cast<std::int32_t>(kAhead / 2) < n) prefetchForWrite(entries + next[places[k + kAhead / 2].cell]);
      const Place& place = places[k];
      Entry& entry = entries[next[place.cell]++];
      entry.entity = i;
      if (place.level == nullptr || !place.level->stepped) return;
      const Level& level = *place.level;
      entry.box[0] = stepInCell(b.MinX, domain_.MinX, level.perWidth, place.x);
      entry.box[1] = stepInCell(b.MinY, domain_.MinY, level.perHeight, place.y);
      entry.box[2] = stepInCell(b.MaxX, domain_.MinX, level.perWidth, place.x);
      entry.box[3] = stepInCell(b.MaxY, domain_.MinY, level.perHeight, place.y);
    });
  });
  marks_.assign(static_cast<std::size_t>(count) / 64 + 1, 0);
  built_ = indexed_ = count;
  return true;
}

void SpatialIndex::mark(const Store& store, const Extents& area) {
  firstMarked_ = marks_.size();
  lastMarked_ = 0;
  const auto put = [&](std::int32_t i) {
    const auto word = static_cast<std::size_t>(i) / 64;
    marks_[word] |= std::uint64_t{1} << (static_cast<unsigned>(i) % 64);
    firstMarked_ = std::min(firstMarked_, word);
    lastMarked_ = std::max(lastMarked_, word);
  };
  Store::Reader reader(store);
  Extents b;
  const auto take = [&](std::int32_t i) {
    if (reader.boundsAt(i, b) && meets(b, area)) put(i);
  };
  const bool steppable =
      !std::isnan(area.MinX) && !std::isnan(area.MinY) && !std::isnan(area.MaxX) && !std::isnan(area.MaxY);
  for (const Level& level : levels_) {
    // A cell's entities reach at most half a cell past it.
    const std::int32_t x0 = cellOf(area.MinX - level.cellWidth / 2, domain_.MinX, level.perWidth, level.side);
    const std::int32_t x1 = cellOf(area.MaxX + level.cellWidth / 2, domain_.MinX, level.perWidth, level.side);
    const std::int32_t y0 = cellOf(area.MinY - level.cellHeight / 2, domain_.MinY, level.perHeight, level.side);
    const std::int32_t y1 = cellOf(area.MaxY + level.cellHeight / 2, domain_.MinY, level.perHeight, level.side);
    const bool stepped = steppable && level.stepped;
    for (std::int32_t y = y0; y <= y1; ++y) {
      const std::size_t row = level.firstCell + static_cast<std::size_t>(y) * static_cast<std::size_t>(level.side);
      std::uint8_t steps[4] = {0, stepInCell(area.MinY, domain_.MinY, level.perHeight, y), 0,
                               stepInCell(area.MaxY, domain_.MinY, level.perHeight, y)};
      for (std::int32_t x = x0; x <= x1; ++x) {
        const std::size_t cell = row + static_cast<std::size_t>(x);
        const std::uint32_t end = cellStart_[cell + 1];
        if (!stepped) {
          for (std::uint32_t e = cellStart_[cell]; e < end; ++e) take(entries_[e].entity);
          continue;
        }
        steps[0] = stepInCell(area.MinX, domain_.MinX, level.perWidth, x);
        steps[2] = stepInCell(area.MaxX, domain_.MinX, level.perWidth, x);
        for (std::uint32_t e = cellStart_[cell]; e < end; ++e) {
          const Entry& entry = entries_[e];
          switch (stepsMeet(entry.box, steps)) {
            case StepAnswer::misses: break;
            case StepAnswer::meets: put(entry.entity); break;
            case StepAnswer::unsure: take(entry.entity); break;
          }
        }
      }
    }
  }
  if (cellStart_.size() >= 2) {
    const std::size_t everywhere = cellStart_.size() - 2;
    for (std::uint32_t e = cellStart_[everywhere]; e < cellStart_[everywhere + 1]; ++e) take(entries_[e].entity);
  }
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
