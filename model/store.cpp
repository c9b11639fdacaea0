#include "model/store.hpp"

#include <new>

namespace trazo {

// Default-initialised rather than value-initialised: every Entity member has its own
// initialiser, so the records come out empty without first zeroing the whole block.
std::unique_ptr<EntityBlock> allocateEntityBlock() { return std::unique_ptr<EntityBlock>(new EntityBlock); }

Status Store::clear() {
  std::vector<std::unique_ptr<EntityBlock>> fresh;
  try {
    fresh.reserve(1);
    fresh.push_back(allocate_());
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  blocks_.swap(fresh);
  released_ = false;
  count_ = 0;
  capacity_ = kBlockSize;
  next_ = blocks_.back()->data();
  blockEnd_ = next_ + kBlockSize;
  extents_ = Extents{};
  return status::ok;
}

void Store::release() {
  std::vector<std::unique_ptr<EntityBlock>>().swap(blocks_);
  released_ = true;
  capacity_ = 0;
  next_ = blockEnd_ = nullptr;
}

const Entity* Store::at(std::int32_t index) const {
  static const Entity empty;
  if (released_ || index < 0 || index > upperBound()) return nullptr;
  if (index == 0) return &empty;
  return &slotAt(index - 1);
}

Status Store::append(Entity&& record) {
  Entity* slot = nullptr;
  if (const Status s = takeSlot(slot); failed(s)) return s;
  *slot = std::move(record);
  return status::ok;
}

Status Store::takeSlotGrowing(Entity*& slot) {
  if (released_) return status::subscript;
  const SlotPlan plan = planSlot(count_, capacity_);
  if (failed(plan.status)) return plan.status;
  if (plan.grows) {
    try {
      auto block = allocate_();
      blocks_.push_back(std::move(block));  // on failure the vector is left as it was
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
