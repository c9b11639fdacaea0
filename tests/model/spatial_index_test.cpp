// The spatial index against the plain answer: every entity whose bounds meet the area, in
// rising order, for random drawings of every kind (some far out, some huge, some not
// finite), random areas, and drawings grown after the build.
#include "model/spatial_index.hpp"

#include "model/add_operations.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace trazo {
namespace {

void addRandomEntities(Store& store, std::mt19937& random, int count) {
  std::uniform_real_distribution<double> at(-100, 1100), size(0, 30), angle(-7, 7);
  std::uniform_int_distribution<int> kind(0, 19);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int i = 0; i < count; ++i) {
    const double x = at(random), y = at(random), s = size(random);
    Status st = status::ok;
    switch (kind(random)) {
      case 0: st = addLine(store, x, y, nan, y, 1, 0, {}); break;
      case 1: st = addCircle(store, x, y, 2000 + s, 1, 0, {}); break;  // larger than the drawing
      case 2: st = addText(store, x, y, s, angle(random) * 50, 1, u"label", u"t"); break;
      case 3: st = addLine(store, x, y, x * 1e6, y, 1, 0, {}); break;  // reaches far out
      case 4:
      case 5: st = addArc(store, x, y, s, angle(random), angle(random), 1, 0, u"arc"); break;
      case 6:
      case 7: st = addCircle(store, x, y, s / 4, 1, 0, {}); break;
      default: st = addLine(store, x, y, x + s, y - s / 2, 1, 0, {}); break;
    }
    ASSERT_EQ(st, status::ok);
  }
}

std::vector<std::int32_t> plainAnswer(const Store& store, const Extents& area) {
  std::vector<std::int32_t> all;
  Store::Reader reader(store);
  Extents b;
  for (std::int32_t i = 1; i <= store.count(); ++i) {
    if (reader.boundsAt(i, b) && SpatialIndex::meets(b, area)) all.push_back(i);
  }
  return all;
}

TEST(SpatialIndex, AnswersAsTheWholeWalkDoesInOrder) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> corner(-200, 1200), extent(0, 400);
  for (const int first : {10, 3000, 40000}) {
    SCOPED_TRACE(first);
    Store store;
    ASSERT_EQ(store.clear(), status::ok);
    SpatialIndex index;
    addRandomEntities(store, random, first);
    // Built once, then grown by a few (looked at one by one) and by many (built again).
    for (const int more : {0, 17, first}) {
      addRandomEntities(store, random, more);
      ASSERT_TRUE(index.update(store));
      ASSERT_TRUE(index.covers(store));
      for (int q = 0; q < 40; ++q) {
        const double x = corner(random), y = corner(random);
        const double w = q % 4 == 0 ? 0 : extent(random);
        const Extents area{x, y, x + w, y + extent(random)};
        std::vector<std::int32_t> found;
        ASSERT_TRUE(index.query(store, area, found));
        ASSERT_EQ(found, plainAnswer(store, area)) << "area " << x << ", " << y;
      }
    }
  }
}

TEST(SpatialIndex, ForgetsADrawingThatWasCleared) {
  std::mt19937 random(3);
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  addRandomEntities(store, random, 500);
  SpatialIndex index;
  ASSERT_TRUE(index.update(store));
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_FALSE(index.covers(store));
  addRandomEntities(store, random, 700);
  ASSERT_TRUE(index.update(store));
  const Extents area{0, 0, 300, 300};
  std::vector<std::int32_t> found;
  ASSERT_TRUE(index.query(store, area, found));
  EXPECT_EQ(found, plainAnswer(store, area));
}

}  // namespace
}  // namespace trazo
