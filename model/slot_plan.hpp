// The arithmetic of taking a slot, apart from any storage, so that the limits of the store
// (a count at 2147483647, an upper bound that would pass it) can be checked without
// allocating two billion records.
#pragma once

#include "base/status.hpp"

#include <cstdint>

namespace trazo {

// The store grows in steps of this many records.
inline constexpr std::int32_t kBlockSize = 1000;

struct SlotPlan {
  Status status = status::ok;
  std::int32_t newCount = 0;       // the number of the new entity
  std::int32_t newUpperBound = 0;  // the upper bound after the add
  bool grows = false;              // one more block is needed
};

// What taking the next slot does to a store holding `count` entities under `upperBound`.
constexpr SlotPlan planSlot(std::int32_t count, std::int32_t upperBound) {
  constexpr std::int32_t largest = INT32_MAX;
  if (count == largest) return {status::overflow, count, upperBound, false};
  const std::int32_t newCount = count + 1;
  if (upperBound >= newCount) return {status::ok, newCount, upperBound, false};
  if (upperBound > largest - kBlockSize) return {status::overflow, count, upperBound, false};
  return {status::ok, newCount, upperBound + kBlockSize, true};
}

}  // namespace trazo
