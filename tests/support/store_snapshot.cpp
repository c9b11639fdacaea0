#include "tests/support/store_snapshot.hpp"

#include "picture/recording_surface.hpp"
#include "render/painters.hpp"

#include <cstring>
#include <sstream>

namespace trazo::testing {

StoreSnapshot takeSnapshot(const Store& store) {
  StoreSnapshot s;
  refreshSnapshot(s, store);
  return s;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameExtents(const Extents& a, const Extents& b) {
  return sameBits(a.MinX, b.MinX) && sameBits(a.MinY, b.MinY) && sameBits(a.MaxX, b.MaxX) && sameBits(a.MaxY, b.MaxY);
}

namespace {

// memcmp rather than the string's own ==: the fuzzers instrument every character compare,
// and tags can be a million code units long.
bool sameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

}  // namespace

bool sameRecord(const Entity& a, const Entity& b) {
  return a.Kind == b.Kind && sameBits(a.Value1, b.Value1) && sameBits(a.Value2, b.Value2) &&
         sameBits(a.Value3, b.Value3) && sameBits(a.Value4, b.Value4) && sameBits(a.Value5, b.Value5) &&
         a.Col == b.Col && a.LineType == b.LineType && sameText(a.Text, b.Text) && sameText(a.Tag, b.Tag);
}

void refreshSnapshot(StoreSnapshot& snapshot, const Store& store) {
  snapshot.count = store.count();
  snapshot.upperBound = store.upperBound();
  snapshot.hasArray = store.hasArray();
  snapshot.extents = store.extents();
  if (!snapshot.hasArray || snapshot.records.size() > static_cast<std::size_t>(snapshot.count)) {
    snapshot.records.clear();
  }
  if (!snapshot.hasArray) return;
  for (auto i = static_cast<std::int32_t>(snapshot.records.size()) + 1; i <= snapshot.count; ++i) {
    snapshot.records.emplace_back(*store.at(i));
  }
}

std::string describeChangedPrefix(const StoreSnapshot& before, const Store& now) {
  if (before.records.empty()) return {};
  if (!now.hasArray() || now.count() < static_cast<std::int32_t>(before.records.size())) {
    return "entities lost: " + std::to_string(before.records.size()) + " before, " +
           std::to_string(now.hasArray() ? now.count() : 0) + " after";
  }
  for (std::size_t i = 0; i < before.records.size(); ++i) {
    const std::optional<Entity> e = now.at(static_cast<std::int32_t>(i + 1));
    if (!e || !sameRecord(before.records[i].view(), *e)) return "entity " + std::to_string(i + 1) + " changed";
  }
  return {};
}

std::string describeDifference(const StoreSnapshot& before, const Store& now) {
  if (before.count != now.count()) {
    return "count " + std::to_string(before.count) + " became " + std::to_string(now.count());
  }
  if (before.upperBound != now.upperBound()) {
    return "upper bound " + std::to_string(before.upperBound) + " became " + std::to_string(now.upperBound());
  }
  if (before.hasArray != now.hasArray()) return "the array appeared or went away";
  if (!sameExtents(before.extents, now.extents())) return "extents changed";
  return describeChangedPrefix(before, now);
}

std::string entityTrace(const Store& store) {
  std::ostringstream out;
  RecordingSurface surface(out);
  for (std::int32_t i = 1; i <= store.count(); ++i) {
    const std::optional<Entity> e = store.at(i);
    if (!e) {
      out << "missing " << i << '\n';
      continue;
    }
    Status s = status::ok;
    switch (e->Kind) {
      case kKindLine: s = DrawLineEntity(*e, surface); break;
      case kKindCircle: s = DrawCircleEntity(*e, surface); break;
      case kKindText: s = DrawTextEntity(*e, surface); break;
      case kKindArc: s = DrawArcEntity(*e, surface); break;
      default: out << "kind " << e->Kind << '\n';
    }
    if (failed(s)) out << "failed " << statusKind(s) << '\n';
  }
  return out.str();
}

}  // namespace trazo::testing
