// What the late-binding harness remembers of the store between operations: its count,
// bound and extents, and one fingerprint per entity (a hash of every field, bit for bit,
// strings included), so that checking that no stored entity changed copies no record.
#pragma once

#include "model/store.hpp"

#include <cstdint>
#include <vector>

namespace trazo::fuzz {

struct StoreFingerprint {
  std::int32_t count = 0;
  std::int32_t upperBound = 0;
  bool hasArray = false;
  Extents extents;
  std::vector<std::uint64_t> records;  // entities 1..count, in order
};

std::uint64_t fingerprintOf(const Entity& e);

// Brings `f` up to date with `store`, fingerprinting only the entities added since (the
// ones it holds are assumed unchanged: check that first).
void refresh(StoreFingerprint& f, const Store& store);

// The first entity from `first` to `last` (numbered from 1, both included, within what `f`
// holds) that is missing from `store` or differs from its fingerprint; 0 when none does.
std::int32_t firstChanged(const StoreFingerprint& f, const Store& store, std::int32_t first, std::int32_t last);

}  // namespace trazo::fuzz
