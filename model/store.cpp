#include "model/store.hpp"

#include <new>

namespace trazo {

std::unique_ptr<EntityBlock> allocateEntityBlock() { return std::make_unique<EntityBlock>(); }

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
  extents_ = Extents{};
  return status::ok;
}

void Store::release() {
  std::vector<std::unique_ptr<EntityBlock>>().swap(blocks_);
  released_ = true;
}

std::int32_t Store::upperBound() const {
  return released_ ? 0 : static_cast<std::int32_t>(blocks_.size()) * kBlockSize;
}

const Entity* Store::at(std::int32_t index) const {
  static const Entity empty;
  if (released_ || index < 0 || index > upperBound()) return nullptr;
  if (index == 0) return &empty;
  const std::int32_t offset = index - 1;
  return &(*blocks_[static_cast<std::size_t>(offset / kBlockSize)])[static_cast<std::size_t>(offset % kBlockSize)];
}

Status Store::append(Entity&& record) {
  if (released_) return status::subscript;
  const SlotPlan plan = planSlot(count_, upperBound());
  if (failed(plan.status)) return plan.status;
  if (plan.grows) {
    try {
      auto block = allocate_();
      blocks_.push_back(std::move(block));  // on failure the vector is left as it was
    } catch (const std::bad_alloc&) {
      return status::outOfMemory;
    }
  }
  const std::int32_t offset = plan.newCount - 1;
  (*blocks_[static_cast<std::size_t>(offset / kBlockSize)])[static_cast<std::size_t>(offset % kBlockSize)] =
      std::move(record);
  count_ = plan.newCount;
  return status::ok;
}

}  // namespace trazo
