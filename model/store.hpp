// The entity store: entities numbered from 1 in the order of addition, their count and the
// drawing extents. Records live in blocks of kBlockSize that are never moved or copied once
// allocated, so adding stays constant time however large the drawing grows; the upper bound
// (the highest valid index) is still the multiple of 1000 that a growable array would have.
#pragma once

#include "control/status.hpp"
#include "model/entity.hpp"
#include "model/slot_plan.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace trazo {

using EntityBlock = std::array<Entity, kBlockSize>;

// Allocates one block of empty records; may throw std::bad_alloc. Replaceable so that tests
// can make growth fail.
using BlockAllocator = std::unique_ptr<EntityBlock> (*)();
std::unique_ptr<EntityBlock> allocateEntityBlock();

class Store {
 public:
  explicit Store(BlockAllocator allocator = &allocateEntityBlock) : allocate_(allocator) {}

  // A fresh array with room for 1000 records and the extents (0, 0)-(1, 1). On a failed
  // allocation the old drawing stays as it was.
  Status clear();
  // Frees every record; afterwards the array is missing and any slot access is out of range.
  void release();

  std::int32_t count() const { return count_; }
  // Highest valid index of the array, 0 while it is missing.
  std::int32_t upperBound() const;
  bool hasArray() const { return !released_; }

  const Extents& extents() const { return extents_; }
  Extents& extents() { return extents_; }

  // The record at `index`, or nullptr (subscript out of range) outside 0..upperBound.
  // Index 0 exists and is always empty.
  const Entity* at(std::int32_t index) const;

  // Takes the next slot and moves `record` into it. Fails with overflow at the limits, with
  // out-of-memory when growth fails, with subscript when the array is missing; on failure
  // nothing changes. The new entity is number count() afterwards.
  Status append(Entity&& record);

 private:
  // Lets tests put a store at its limits (two billion entities) without the records.
  friend struct StoreTestSeam;

  BlockAllocator allocate_;
  std::vector<std::unique_ptr<EntityBlock>> blocks_;
  std::int32_t count_ = 0;
  bool released_ = true;  // no array until the first Clear
  Extents extents_;
};

}  // namespace trazo
