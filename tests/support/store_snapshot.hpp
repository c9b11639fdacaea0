// A copy of everything a store holds (count, upper bound, extents and every record) and a
// bit-for-bit comparison of two copies, so that "nothing changed" can be checked exactly:
// a NaN equals the same NaN, and -0 differs from 0.
#pragma once

#include "model/store.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace trazo::testing {

// One record with its own copies of the strings, which the store's view of it does not keep.
struct EntityCopy {
  explicit EntityCopy(const Entity& e) : numbers(e), text(e.Text), tag(e.Tag) { numbers.Text = numbers.Tag = {}; }
  Entity view() const {
    Entity e = numbers;
    e.Text = text;
    e.Tag = tag;
    return e;
  }
  Entity numbers;
  std::u16string text, tag;
};

struct StoreSnapshot {
  std::int32_t count = 0;
  std::int32_t upperBound = 0;
  bool hasArray = false;
  Extents extents;
  std::vector<EntityCopy> records;  // entities 1..count, in order
};

StoreSnapshot takeSnapshot(const Store& store);

bool sameBits(double a, double b);
bool sameExtents(const Extents& a, const Extents& b);
bool sameRecord(const Entity& a, const Entity& b);

// Brings `snapshot` up to date with `store`, copying only the entities added since; the
// entities it already holds are assumed unchanged (check that first).
void refreshSnapshot(StoreSnapshot& snapshot, const Store& store);

// Empty when `now` holds exactly what `before` recorded, else what differs first, in words.
std::string describeDifference(const StoreSnapshot& before, const Store& now);

// Empty when `now` still holds the `before` entities unchanged as its first ones (the
// entities a failed AddBox may leave behind come after them).
std::string describeChangedPrefix(const StoreSnapshot& before, const Store& now);

// The trace that painting entities 1..count one by one writes, without the fitting step.
std::string entityTrace(const Store& store);

}  // namespace trazo::testing
