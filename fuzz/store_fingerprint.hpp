// What the late-binding harness remembers of the store between operations: its count,
// bound and extents, and two fingerprints per entity, so that checking that no stored
// entity changed copies no record: a full one (a hash of every field bit for bit, the
// strings' contents included) and a quick one, where each string counts by its length and
// where its characters live (a change of a string goes through assigning it, which gives
// it another length or buffer; what is written into the buffer behind the string's back is
// left to the full fingerprint and to AddressSanitizer).
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
  struct Prints {
    std::uint64_t full, quick;
  };
  std::vector<Prints> records;  // entities 1..count, in order
};

std::uint64_t fingerprintOf(const Entity& e, bool full);

// Brings `f` up to date with `store`, fingerprinting only the entities added since (the
// ones it holds are assumed unchanged: check that first).
void refresh(StoreFingerprint& f, const Store& store);

// The first entity from `first` to `last` (numbered from 1, both included, within what `f`
// holds) that is missing from `store` or differs from its full or quick fingerprint; 0 when
// none does.
std::int32_t firstChanged(const StoreFingerprint& f, const Store& store, std::int32_t first, std::int32_t last,
                          bool full);

}  // namespace trazo::fuzz
