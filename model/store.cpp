#include "model/store.hpp"

#include "base/fresh_pages.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <new>

namespace trazo {

// Default-initialised: a slot is read only once it has been filled, so a block is not zeroed
// first.
std::unique_ptr<EntityBlock> allocateEntityBlock() { return std::unique_ptr<EntityBlock>(new EntityBlock); }

// A block is taken when the next entity needs it, and its slots are then written one after
// another: its pages are committed in one call, which costs less than a fault for each page
// as the first entity reaches it.
std::unique_ptr<EntityBlock> Store::freshBlock() {
  std::unique_ptr<EntityBlock> block = allocate_();
  commitPagesNow(block.get(), sizeof(EntityBlock));
  return block;
}

Status Store::clear() {
  if (blocks_.empty()) {
    std::vector<std::unique_ptr<EntityBlock>> fresh;
    try {
      fresh.reserve(1);
      fresh.push_back(freshBlock());
    } catch (const std::bad_alloc&) {
      return status::outOfMemory;
    }
    blocks_.swap(fresh);
  } else {
    emptyForReuse();
  }
  released_ = false;
  ++generation_;
  count_ = 0;
  firstStyled_ = 0;
  capacity_ = kBlockSize;
  nextInBlock_ = 0;
  extents_ = Extents{};
  return status::ok;
}

void Store::releaseExtras() {
  arcEnds_.release();
  stringsIndex_.release();
  strings_.release();
}

// The strings and end angles go; the first block stays as the new array, and the others are
// set aside for growth, up to kSpareBlocks of them.
void Store::emptyForReuse() {
  std::size_t textUnits = 0;
  for (std::size_t i = 0; i < strings_.size(); ++i) textUnits += strings_[i].units.size();
  stringsIndex_.release();
  strings_.release();
  arcEnds_.clearKeeping(kSpareArcChunks);
  if (textUnits >= kReleasedTextUnits) heapRelease_();
  const std::size_t wanted = std::min(spare_.size() + blocks_.size() - 1, kSpareBlocks);
  try {
    spare_.reserve(wanted);
  } catch (const std::bad_alloc&) {
    // keep only as many as there is room for
  }
  for (std::size_t b = 1; b < blocks_.size() && spare_.size() < spare_.capacity(); ++b) {
    spare_.push_back(std::move(blocks_[b]));
  }
  blocks_.resize(1);
}

void Store::release() {
  const bool held = !blocks_.empty();
  std::vector<std::unique_ptr<EntityBlock>>().swap(blocks_);
  std::vector<std::unique_ptr<EntityBlock>>().swap(spare_);
  releaseExtras();
  if (held) heapRelease_();
  released_ = true;
  ++generation_;
  capacity_ = 0;
  nextInBlock_ = kBlockSize;
}

Status Store::takeSlotGrowing() {
  if (released_) return status::subscript;
  const SlotPlan plan = planSlot(count_, capacity_);
  if (failed(plan.status)) return plan.status;
  if (plan.grows) {
    try {
      makeRoomForOne(blocks_);  // on failure the vector is left as it was
      if (spare_.empty()) {
        blocks_.push_back(freshBlock());
      } else {
        blocks_.push_back(std::move(spare_.back()));
        spare_.pop_back();
      }
    } catch (const std::bad_alloc&) {
      return status::outOfMemory;
    }
    capacity_ = plan.newUpperBound;
  }
  nextInBlock_ = (plan.newCount - 1) % kBlockSize;
  return status::ok;
}

std::vector<EntityBlock*> Store::setAsideFor(std::int64_t more) {
  std::vector<EntityBlock*> fresh;
  if (released_) return fresh;
  const std::int64_t room = std::int64_t{capacity_} - count_ + static_cast<std::int64_t>(spare_.size()) * kBlockSize;
  const std::int64_t wanted = std::min<std::int64_t>(more, std::int64_t{INT32_MAX} - count_) - room;
  if (wanted <= 0) return fresh;
  const auto blocks = static_cast<std::size_t>((wanted + kBlockSize - 1) / kBlockSize);
  std::vector<std::unique_ptr<EntityBlock>> added;
  try {
    added.reserve(blocks);
    fresh.reserve(blocks);
    spare_.reserve(spare_.size() + blocks);
    while (added.size() < blocks) {
      added.push_back(allocate_());
      fresh.push_back(added.back().get());
    }
  } catch (const std::bad_alloc&) {
    // Those allocated are set aside all the same (spare_ has room for them, reserved before
    // the first); the adds allocate the rest as they grow.
  }
  // Taken from the back: the spare blocks already held first, then these in order.
  spare_.insert(spare_.begin(), std::make_move_iterator(added.rbegin()), std::make_move_iterator(added.rend()));
  return fresh;
}

void Store::trimSpare() {
  if (spare_.size() > kSpareBlocks)
    spare_.erase(spare_.begin(), spare_.begin() + static_cast<std::ptrdiff_t>(spare_.size() - kSpareBlocks));
}

Status Store::makeArcRoom() {
  try {
    arcEnds_.reserveOne();
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  return status::ok;
}

Status Store::addWithStrings(const EntityValues& values, std::u16string_view text, std::u16string_view tag,
                             const Extents* textBox) {
  Strings copy;
  try {
    copy.units.reserve(text.size() + tag.size());
    copy.units.append(text).append(tag);
    copy.textLength = text.size();
    if (textBox != nullptr) copy.box = *textBox;
    stringsIndex_.reserveOne();
    strings_.reserveOne();
    if (values.kind == kKindArc) arcEnds_.reserveOne();
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  if (const Status s = fillSlot(values, true); failed(s)) return s;
  stringsIndex_.pushReserved(count_);
  strings_.pushReserved(std::move(copy));
  return status::ok;
}

std::optional<Entity> Store::read(std::int32_t index, std::size_t& arcFrom, std::size_t& stringsFrom) const {
  if (index < 0 || index > capacity_) return std::nullopt;
  if (index == 0 && released_) return std::nullopt;
  if (index == 0 || index > count_) return kEmptyEntity;
  const EntityBlock& block = *blocks_[static_cast<std::size_t>((index - 1) / kBlockSize)];
  const auto slot = static_cast<std::size_t>((index - 1) % kBlockSize);
  const EntityRecord& r = block.records[slot];
  const std::uint8_t kind = block.kinds[slot];
  Entity e;
  e.Kind = static_cast<std::int16_t>(kind & kKindBits);
  e.Value1 = r.v1;
  e.Value2 = r.v2;
  e.Value3 = r.v3;
  e.Value4 = r.v4;
  e.Col = r.col;
  e.LineType = r.lType;
  const auto before = [](const ArcEnd& stored, std::int32_t wanted) { return stored.index < wanted; };
  if (e.Kind == kKindArc) {
    arcFrom = arcEnds_.lowerBound(index, before, arcFrom);
    e.Value5 = arcEnds_[arcFrom].end;
  }
  if (kind & kHasStrings) {
    const Strings& s = stringsOf(index, stringsFrom);
    const std::u16string_view units = s.units;
    e.Text = units.substr(0, s.textLength);
    e.Tag = units.substr(s.textLength);
  }
  return e;
}

const Store::Strings& Store::stringsOf(std::int32_t index, std::size_t& from) const {
  from = stringsIndex_.lowerBound(
      index, [](std::int32_t stored, std::int32_t wanted) { return stored < wanted; }, from);
  return strings_[from];
}

std::optional<Entity> Store::at(std::int32_t index) const {
  std::size_t arcFrom = 0, stringsFrom = 0;
  return read(index, arcFrom, stringsFrom);
}

std::optional<Entity> Store::Reader::at(std::int32_t index) {
  if (index < last_) arcFrom_ = stringsFrom_ = 0;  // a step back starts the search afresh
  last_ = index;
  return store_.read(index, arcFrom_, stringsFrom_);
}

}  // namespace trazo

namespace trazo {

bool Store::Reader::boundsAt(std::int32_t index, Extents& bounds) {
  if (index <= 0 || index > store_.count_) return false;
  if (index < last_) arcFrom_ = stringsFrom_ = 0;
  last_ = index;
  // A count put past the blocks (the store at its limits) has no records to read there.
  const auto blockIndex = static_cast<std::size_t>((index - 1) / kBlockSize);
  if (blockIndex >= store_.blocks_.size() || !store_.blocks_[blockIndex]) return false;
  const EntityBlock& block = *store_.blocks_[blockIndex];
  const auto slot = static_cast<std::size_t>((index - 1) % kBlockSize);
  const EntityRecord& r = block.records[slot];
  switch (block.kinds[slot] & kKindBits) {
    case kKindLine:
      if (std::isnan(r.v1) || std::isnan(r.v2) || std::isnan(r.v3) || std::isnan(r.v4)) {
        bounds.MinX = bounds.MinY = bounds.MaxX = bounds.MaxY = std::numeric_limits<double>::quiet_NaN();
      } else {
        bounds = {MinValue(r.v1, r.v3), MinValue(r.v2, r.v4), MaxValue(r.v1, r.v3), MaxValue(r.v2, r.v4)};
      }
      return true;
    case kKindCircle:
    case kKindArc: bounds = {r.v1 - r.v3, r.v2 - r.v3, r.v1 + r.v3, r.v2 + r.v3}; return true;
    case kKindText: bounds = store_.stringsOf(index, stringsFrom_).box; return true;
    default: return false;
  }
}

std::int32_t Store::Reader::boundsRun(std::int32_t first, std::int32_t n, Extents* out) {
  if (first <= 0 || first > store_.count_ || n <= 0) return 0;
  if (first < last_) arcFrom_ = stringsFrom_ = 0;
  const auto blockIndex = static_cast<std::size_t>((first - 1) / kBlockSize);
  if (blockIndex >= store_.blocks_.size() || !store_.blocks_[blockIndex]) return 0;
  const EntityBlock& block = *store_.blocks_[blockIndex];
  const std::int32_t slot0 = (first - 1) % kBlockSize;
  const std::int32_t run = std::min({n, kBlockSize - slot0, store_.count_ - first + 1});
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  for (std::int32_t k = 0; k < run; ++k) {
    const auto slot = static_cast<std::size_t>(slot0 + k);
    const EntityRecord& r = block.records[slot];
    Extents& b = out[k];
    switch (block.kinds[slot] & kKindBits) {
      case kKindLine:
        if (std::isnan(r.v1) || std::isnan(r.v2) || std::isnan(r.v3) || std::isnan(r.v4)) {
          b = {nan, nan, nan, nan};
        } else {
          b = {MinValue(r.v1, r.v3), MinValue(r.v2, r.v4), MaxValue(r.v1, r.v3), MaxValue(r.v2, r.v4)};
        }
        break;
      case kKindCircle:
      case kKindArc: b = {r.v1 - r.v3, r.v2 - r.v3, r.v1 + r.v3, r.v2 + r.v3}; break;
      case kKindText: b = store_.stringsOf(first + k, stringsFrom_).box; break;
      default: b = {nan, nan, nan, nan}; break;
    }
  }
  last_ = first + run - 1;
  return run;
}

}  // namespace trazo
