// The tiles (cover_tiles.hpp) of the bands an engine draws backwards at the same time, kept
// from picture to picture so that drawing a band allocates nothing once the first pictures
// are drawn: one set for each thread that may draw, taken by a band while it is drawn and
// given back after. They belong to the engine, not to the threads, which outlive it.
#pragma once

#include "raster/cover_tiles.hpp"

#include <atomic>
#include <memory>
#include <new>

namespace trazo {

class CoverTilesShelf {
 public:
  // Room for `count` bands drawn at the same time; false, keeping what it had, when there
  // is no memory for more. Not while any set is taken.
  bool hold(int count) {
    if (count <= count_) return true;
    Slot* fresh = new (std::nothrow) Slot[static_cast<std::size_t>(count)];
    if (fresh == nullptr) return false;
    slots_.reset(fresh);
    count_ = count;
    return true;
  }
  // A set no other band has; none when every one is taken (more bands at the same time
  // than hold was told), and the band is then drawn in order.
  CoverTiles* take() {
    for (int i = 0; i < count_; ++i) {
      if (!slots_[i].taken.exchange(true, std::memory_order_acquire)) return &slots_[i].tiles;
    }
    return nullptr;
  }
  void give(CoverTiles* tiles) {
    for (int i = 0; i < count_; ++i) {
      if (&slots_[i].tiles == tiles) slots_[i].taken.store(false, std::memory_order_release);
    }
  }

 private:
  struct Slot {
    std::atomic<bool> taken{false};
    CoverTiles tiles;
  };
  std::unique_ptr<Slot[]> slots_;
  int count_ = 0;
};

}  // namespace trazo
