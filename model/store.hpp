// The entity store: entities numbered from 1 in the order of addition, their count and the
// drawing extents. Records live in blocks of kBlockSize that are never moved or copied once
// allocated, so adding stays constant time however large the drawing grows; the upper bound
// (the highest valid index) is still the multiple of 1000 that a growable array would have.
//
// A record is compact: the four values every kind but the arc fills, the colour and the line
// type (40 bytes), and one byte for its kind. What few entities have lives beside the blocks,
// in lists kept in the order of addition: an arc's end angle, and a text's or tag's
// characters, so that an entity without strings costs no string.
#pragma once

#include "base/status.hpp"
#include "model/chunked_list.hpp"
#include "model/entity.hpp"
#include "model/heap_release.hpp"
#include "model/slot_plan.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trazo {

// The numbers of one entity as an add operation works them out.
struct EntityValues {
  std::int16_t kind = kKindNone;
  double v1 = 0, v2 = 0, v3 = 0, v4 = 0, v5 = 0;
  std::int32_t col = 0, lType = 0;
};

struct EntityRecord {
  double v1, v2, v3, v4;
  std::int32_t col, lType;
};

struct EntityBlock {
  std::array<EntityRecord, kBlockSize> records;
  // The kind in the low bits, kHasStrings when the entity has a text or a tag.
  std::array<std::uint8_t, kBlockSize> kinds;
};

// Emptied blocks a cleared store keeps for its next growth: 256 blocks are about 10 MB.
inline constexpr std::size_t kSpareBlocks = 256;

// Chunks of arcs' end angles a cleared store keeps, as it keeps blocks: 64 are 4 MB, the arcs
// of a quarter of a million entities.
inline constexpr std::size_t kSpareArcChunks = 64;

// What every slot holds until it is filled.
inline constexpr Entity kEmptyEntity{};

// Allocates one block of records; may throw std::bad_alloc. Replaceable so that tests can
// make growth fail.
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
  // allocation the old drawing stays as it was. The blocks of the old drawing are kept for
  // the next growth (up to kSpareBlocks), since a host typically clears and draws again;
  // only release gives their memory back. The memory of the old drawing's strings goes back
  // to the system when they held kReleasedTextUnits or more.
  Status clear();
  // Frees every record; afterwards the array is missing and any slot access is out of range.
  void release();

  std::int32_t count() const { return count_; }
  // Highest valid index of the array, 0 while it is missing.
  std::int32_t upperBound() const { return capacity_; }
  bool hasArray() const { return !released_; }
  // Changes with every Clear and release: a drawing built on the old one is gone.
  std::uint64_t generation() const { return generation_; }
  // The number of the first entity that is not a text, 0 while there is none.
  std::int32_t firstStyled() const { return firstStyled_; }

  const Extents& extents() const { return extents_; }
  Extents& extents() { return extents_; }

  // Stores the next entity, its strings copied, without changing anything on failure:
  // overflow at the limits, out-of-memory when growth or a copy fails, subscript when the
  // array is missing. The new entity is number count() afterwards.
  // A text hands its box's bounds along, for the spatial index.
  // Inline, so that an add's numbers reach the record without a trip through memory.
  Status add(const EntityValues& values, std::u16string_view text, std::u16string_view tag,
             const Extents* textBox = nullptr) {
    if (!text.empty() || !tag.empty() || values.kind == kKindText) [[unlikely]]
      return addWithStrings(values, text, tag, textBox);
    // Room beside the blocks comes before the slot: room made for a call that then fails
    // stays for the next one.
    if (values.kind == kKindArc && !arcEnds_.hasRoom()) [[unlikely]] {
      if (const Status s = makeArcRoom(); failed(s)) return s;
    }
    return fillSlot(values, false);
  }

  // Blocks for `more` adds beyond the room held, spare ones included, allocated now and set
  // aside as spare blocks with their memory not yet committed: returned in the order the
  // adds will take them, for a bulk add to commit on another core while it fills the first
  // ones (commitPagesNow). Fewer, or none, when memory is short; nothing else changes.
  std::vector<EntityBlock*> setAsideFor(std::int64_t more);
  // Keeps at most kSpareBlocks spare blocks, giving the memory of the others back: after a
  // bulk add that stopped short of the room it set aside.
  void trimSpare();

  // Where the drawing stands, for taking back the adds made after it (a bulk add that ran
  // out of memory part way).
  struct Mark {
    std::int32_t count = 0, capacity = 0, nextInBlock = 0, firstStyled = 0;
    std::size_t blocks = 0, arcEnds = 0, strings = 0;
    std::uint64_t generation = 0;
    Extents extents;
  };
  Mark mark() const;
  // Takes back every entity added since `mark` and the blocks made for them, leaving the
  // count, upper bound, extents and records as they were at the mark. Allocates nothing and
  // never fails; a mark from before a Clear or release is ignored.
  void takeBack(const Mark& mark);

  // The entity at `index`, or nothing (subscript out of range) outside 0..upperBound. Index
  // 0 exists and is always empty, as is every slot past the count.
  std::optional<Entity> at(std::int32_t index) const;

  // Reads entities in rising order at little more than a step each: a repaint's walk.
  class Reader {
   public:
    explicit Reader(const Store& store) : store_(store) {}
    std::optional<Entity> at(std::int32_t index);
    // The bounds of what entity `index` may draw: a line's end points, a circle's or arc's
    // square, a text's box. False for an empty slot or one out of range.
    bool boundsAt(std::int32_t index, Extents& bounds);
    // The bounds of entities first, first + 1, ... into `out`, at most `n` of them and none
    // past the end of first's block, so that a pass over every entity reads each block once.
    // An entity without bounds gets NaN ones. Returns how many were written: 0 past the
    // count or where the records are missing.
    std::int32_t boundsRun(std::int32_t first, std::int32_t n, Extents* out);

   private:
    const Store& store_;
    std::int32_t last_ = 0;
    std::size_t arcFrom_ = 0, stringsFrom_ = 0;
  };

 private:
  // Lets tests put a store at its limits (two billion entities) without the records.
  friend struct StoreTestSeam;

  static constexpr std::uint8_t kKindBits = 0x07;
  // The entity has a record beside the blocks: every text, and whatever has a tag.
  static constexpr std::uint8_t kHasStrings = 0x08;

  // A text's characters followed by the tag's, and for a text its box's bounds.
  struct Strings {
    std::u16string units;
    std::size_t textLength = 0;
    Extents box;
  };

  std::optional<Entity> read(std::int32_t index, std::size_t& arcFrom, std::size_t& stringsFrom) const;
  // The add of an entity with strings, kept apart so that the common add stays short.
  Status addWithStrings(const EntityValues& values, std::u16string_view text, std::u16string_view tag,
                        const Extents* textBox);
  Status makeArcRoom();
  // Fills the next slot; the room beside the blocks is already made.
  Status fillSlot(const EntityValues& values, bool hasStrings) {
    if (nextInBlock_ == kBlockSize) [[unlikely]] {
      if (const Status s = takeSlotGrowing(); failed(s)) return s;
    }
    EntityBlock& block = *blocks_[static_cast<std::size_t>(count_ / kBlockSize)];
    const auto slot = static_cast<std::size_t>(nextInBlock_);
    block.records[slot] = {values.v1, values.v2, values.v3, values.v4, values.col, values.lType};
    block.kinds[slot] = static_cast<std::uint8_t>((values.kind & kKindBits) | (hasStrings ? kHasStrings : 0));
    ++nextInBlock_;
    ++count_;
    if (firstStyled_ == 0 && values.kind != kKindText) [[unlikely]]
      firstStyled_ = count_;
    if (values.kind == kKindArc) arcEnds_.pushReserved({count_, values.v5});
    return status::ok;
  }
  const Strings& stringsOf(std::int32_t index, std::size_t& from) const;
  // Takes the next slot when the array is missing, full or at its limits.
  Status takeSlotGrowing();
  // A new block from the allocator, its memory committed at once.
  std::unique_ptr<EntityBlock> freshBlock();
  void emptyForReuse();
  void releaseExtras();

  BlockAllocator allocate_;
  HeapRelease heapRelease_;
  std::vector<std::unique_ptr<EntityBlock>> blocks_;
  std::vector<std::unique_ptr<EntityBlock>> spare_;  // emptied blocks waiting for growth
  std::int32_t count_ = 0;
  std::int32_t capacity_ = 0;  // the upper bound: blocks held times kBlockSize, 0 when released
  // The next free slot of the last block; kBlockSize when it is full or the array is missing.
  std::int32_t nextInBlock_ = kBlockSize;
  bool released_ = true;  // no array until the first Clear
  std::uint64_t generation_ = 1;
  std::int32_t firstStyled_ = 0;
  Extents extents_;

  // An arc's end angle beside the blocks, with the arc's number to find it by.
  struct ArcEnd {
    std::int32_t index;
    double end;
  };

  // Beside the blocks, in the order of addition: the arcs' end angles, and the numbers and
  // strings of the entities that have strings.
  ChunkedList<ArcEnd> arcEnds_;
  ChunkedList<std::int32_t> stringsIndex_;
  ChunkedList<Strings, 1024> strings_;
};

}  // namespace trazo
