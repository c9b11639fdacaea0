#include "model/store.hpp"

#include <algorithm>
#include <new>

namespace trazo {

// Default-initialised rather than value-initialised: every Entity member has its own
// initialiser, so the records come out empty without first zeroing the whole block.
std::unique_ptr<EntityBlock> allocateEntityBlock() { return std::unique_ptr<EntityBlock>(new EntityBlock); }

Status Store::clear() {
  if (blocks_.empty()) {
    std::vector<std::unique_ptr<EntityBlock>> fresh;
    try {
      fresh.reserve(1);
      fresh.push_back(allocate_());
    } catch (const std::bad_alloc&) {
      return status::outOfMemory;
    }
    blocks_.swap(fresh);
  } else {
    emptyForReuse();
  }
  released_ = false;
  count_ = 0;
  capacity_ = kBlockSize;
  next_ = blocks_.back()->data();
  blockEnd_ = next_ + kBlockSize;
  extents_ = Extents{};
  return status::ok;
}

// Every record in use is emptied, freeing its strings; the first block stays as the new
// array, and the others are set aside for growth, up to kSpareBlocks of them.
void Store::emptyForReuse() {
  std::size_t textUnits = 0;
  for (std::int32_t i = 0; i < count_; ++i) {
    Entity& e = slotAt(i);
    textUnits += e.Text.size() + e.Tag.size();
    // Assigning an empty record would keep each string's buffer for reuse; moving the
    // record out hands its buffers to `released`, which frees them.
    Entity released = std::move(e);
    e = Entity{};
  }
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
  if (held) heapRelease_();
  released_ = true;
  capacity_ = 0;
  next_ = blockEnd_ = nullptr;
}

Status Store::takeSlotGrowing(Entity*& slot) {
  if (released_) return status::subscript;
  const SlotPlan plan = planSlot(count_, capacity_);
  if (failed(plan.status)) return plan.status;
  if (plan.grows) {
    try {
      blocks_.reserve(blocks_.size() + 1);  // on failure the vector is left as it was
      if (spare_.empty()) {
        blocks_.push_back(allocate_());
      } else {
        blocks_.push_back(std::move(spare_.back()));
        spare_.pop_back();
      }
    } catch (const std::bad_alloc&) {
      return status::outOfMemory;
    }
    capacity_ = plan.newUpperBound;
    blockEnd_ = blocks_.back()->data() + kBlockSize;
  }
  slot = &slotAt(plan.newCount - 1);
  next_ = slot + 1;
  count_ = plan.newCount;
  return status::ok;
}

}  // namespace trazo
