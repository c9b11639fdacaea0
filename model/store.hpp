// The entity store: entities numbered from 1 in the order of addition, their count and the
// drawing extents. Records live in blocks of kBlockSize that are never moved or copied once
// allocated, so adding stays constant time however large the drawing grows; the upper bound
// (the highest valid index) is still the multiple of 1000 that a growable array would have.
#pragma once

#include "base/status.hpp"
#include "model/entity.hpp"
#include "model/heap_release.hpp"
#include "model/slot_plan.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace trazo {

using EntityBlock = std::array<Entity, kBlockSize>;

// Emptied blocks a cleared store keeps for its next growth: 256 blocks are about 30 MB.
inline constexpr std::size_t kSpareBlocks = 256;

// What every slot holds until it is filled.
inline const Entity kEmptyEntity{};

// Allocates one block of empty records; may throw std::bad_alloc. Replaceable so that tests
// can make growth fail.
using BlockAllocator = std::unique_ptr<EntityBlock> (*)();
std::unique_ptr<EntityBlock> allocateEntityBlock();

// Gives the C library's free memory back to the system (model/heap_release.hpp);
// replaceable so that tests can see when it happens.
using HeapRelease = void (*)();

// Code units of text a cleared drawing must have held before its strings' memory is handed
// back to the system: below this, handing back costs more than it returns.
inline constexpr std::size_t kReleasedTextUnits = std::size_t{1} << 20;

class Store {
 public:
  explicit Store(BlockAllocator allocator = &allocateEntityBlock, HeapRelease heapRelease = &releaseFreeHeap)
      : allocate_(allocator), heapRelease_(heapRelease) {}

  // A fresh array with room for 1000 records and the extents (0, 0)-(1, 1). On a failed
  // allocation the old drawing stays as it was. The blocks of the old drawing are emptied
  // and kept for the next growth (up to kSpareBlocks), since a host typically clears and
  // draws again; only release gives their memory back. The memory of the old drawing's
  // strings goes back to the system when they held kReleasedTextUnits or more.
  Status clear();
  // Frees every record; afterwards the array is missing and any slot access is out of range.
  void release();

  std::int32_t count() const { return count_; }
  // Highest valid index of the array, 0 while it is missing.
  std::int32_t upperBound() const { return capacity_; }
  bool hasArray() const { return !released_; }

  const Extents& extents() const { return extents_; }
  Extents& extents() { return extents_; }

  // The record at `index`, or nullptr (subscript out of range) outside 0..upperBound.
  // Index 0 exists and is always empty. Inline: a repaint asks once per entity.
  const Entity* at(std::int32_t index) const {
    if (index <= 0 || index > capacity_) return index == 0 && !released_ ? &kEmptyEntity : nullptr;
    return &slotAt(index - 1);
  }

  // Takes the next slot for the caller to fill at once, without anything that can fail in
  // between: the slot holds an empty record. Fails with overflow at the limits, with out-of-memory when
  // growth fails, with subscript when the array is missing; on failure nothing changes.
  // The new entity is number count() afterwards.
  Status takeSlot(Entity*& slot) {
    if (next_ != blockEnd_) {  // room in the last block: the common case
      slot = next_++;
      ++count_;
      return status::ok;
    }
    return takeSlotGrowing(slot);
  }

 private:
  // Lets tests put a store at its limits (two billion entities) without the records.
  friend struct StoreTestSeam;

  // Slot `offset`, counted from 0, of an array that has it.
  Entity& slotAt(std::int32_t offset) const {
    return (*blocks_[static_cast<std::size_t>(offset / kBlockSize)])[static_cast<std::size_t>(offset % kBlockSize)];
  }
  // takeSlot when the array is missing, full or at its limits.
  Status takeSlotGrowing(Entity*& slot);
  void emptyForReuse();

  BlockAllocator allocate_;
  HeapRelease heapRelease_;
  std::vector<std::unique_ptr<EntityBlock>> blocks_;
  std::vector<std::unique_ptr<EntityBlock>> spare_;  // emptied blocks waiting for growth
  std::int32_t count_ = 0;
  std::int32_t capacity_ = 0;  // the upper bound: blocks held times kBlockSize, 0 when released
  // The free part of the last block: the next slot to take and the end of the block. Equal
  // (both null when the array is missing) when the last block is full.
  Entity* next_ = nullptr;
  Entity* blockEnd_ = nullptr;
  bool released_ = true;  // no array until the first Clear
  Extents extents_;
};

}  // namespace trazo
