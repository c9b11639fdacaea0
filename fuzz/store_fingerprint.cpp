#include "fuzz/store_fingerprint.hpp"

#include <bit>
#include <functional>
#include <string_view>

namespace trazo::fuzz {
namespace {

std::uint64_t mixed(std::uint64_t hash, std::uint64_t value) {
  // boost's hash_combine with a 64-bit golden ratio: every field moves every later bit.
  return hash ^ (value + 0x9E3779B97F4A7C15ull + (hash << 12) + (hash >> 4));
}

std::uint64_t textPrint(std::u16string_view text, bool full) {
  const std::uint64_t contents =
      full ? std::hash<std::u16string_view>{}(text) : std::bit_cast<std::uintptr_t>(text.data());
  return mixed(contents, text.size());
}

}  // namespace

std::uint64_t fingerprintOf(const Entity& e, bool full) {
  std::uint64_t h = static_cast<std::uint16_t>(e.Kind);
  for (const double v : {e.Value1, e.Value2, e.Value3, e.Value4, e.Value5})
    h = mixed(h, std::bit_cast<std::uint64_t>(v));
  h = mixed(h, static_cast<std::uint32_t>(e.Col));
  h = mixed(h, static_cast<std::uint32_t>(e.LineType));
  h = mixed(h, textPrint(e.Text, full));
  return mixed(h, textPrint(e.Tag, full));
}

void refresh(StoreFingerprint& f, const Store& store) {
  f.count = store.count();
  f.upperBound = store.upperBound();
  f.hasArray = store.hasArray();
  f.extents = store.extents();
  if (!f.hasArray || f.records.size() > static_cast<std::size_t>(f.count)) f.records.clear();
  if (!f.hasArray) return;
  for (auto i = static_cast<std::int32_t>(f.records.size()) + 1; i <= f.count; ++i) {
    const Entity e = *store.at(i);
    f.records.push_back({fingerprintOf(e, true), fingerprintOf(e, false)});
  }
}

std::int32_t firstChanged(const StoreFingerprint& f, const Store& store, std::int32_t first, std::int32_t last,
                          bool full) {
  for (std::int32_t i = first; i <= last; ++i) {
    const std::optional<Entity> e = store.at(i);
    const StoreFingerprint::Prints& p = f.records[static_cast<std::size_t>(i - 1)];
    if (!e || fingerprintOf(*e, full) != (full ? p.full : p.quick)) return i;
  }
  return 0;
}

}  // namespace trazo::fuzz
