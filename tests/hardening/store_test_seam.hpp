// Puts a store at the edge of its limits without two billion records: every block but the
// last is a null pointer, which nothing touches as long as only the last block's slots and
// the slot-taking arithmetic are used.
#pragma once

#include "control/trazo.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <memory>

namespace trazo {

struct StoreTestSeam {
  // `count` entities under an upper bound of `blocks` * 1000, the last block real and empty.
  static void nearLimit(Store& s, std::int32_t count, std::size_t blocks) {
    s.blocks_.clear();
    s.blocks_.resize(blocks);
    s.blocks_.back() = std::make_unique<EntityBlock>();  // value-initialised: every slot an empty record
    s.count_ = count;
    s.capacity_ = static_cast<std::int32_t>(blocks) * kBlockSize;
    s.released_ = false;
    // The free part of the last block, empty when the count has reached the upper bound.
    const std::int32_t firstInLast = s.capacity_ - kBlockSize;
    s.nextInBlock_ = std::clamp(count - firstInLast, 0, kBlockSize);
  }
  static Store& storeOf(Trazo& t) { return t.store_; }
};

}  // namespace trazo
