// The spatial index against the plain answer: every entity whose bounds meet the area, in
// rising order, for random drawings of every kind (some far out, some huge, some not
// finite), random areas, and drawings grown after the build.
#include "model/spatial_index.hpp"

#include "model/add_operations.hpp"

#include <gtest/gtest.h>

#include <cmath>
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

// The extents a host set need not hold the drawing, and may have no width or height: the
// cells then do not double from level to level, and most entities lie outside the grid.
TEST(SpatialIndex, AnswersOverExtentsThatDoNotHoldTheDrawing) {
  const Extents domains[] = {{500, 0, 500, 1000}, {0, 300, 1000, 300}, {400, 400, 410, 410}, {-5e6, -5e6, 5e6, 5e6}};
  std::mt19937 random(5);
  std::uniform_real_distribution<double> corner(-200, 1200), extent(0, 400);
  for (const Extents& domain : domains) {
    SCOPED_TRACE(domain.MinX);
    Store store;
    ASSERT_EQ(store.clear(), status::ok);
    addRandomEntities(store, random, 3000);
    store.extents() = domain;
    SpatialIndex index;
    ASSERT_TRUE(index.update(store));
    for (int q = 0; q < 200; ++q) {
      // Small areas within the grid as well as large ones anywhere.
      const bool small = q % 2 == 0;
      const double x = small ? 480 + extent(random) / 10 : corner(random);
      const double y = small ? 280 + extent(random) / 10 : corner(random);
      const double size = small ? extent(random) / 100 : extent(random);
      const Extents area{x, y, x + size, y + size};
      std::vector<std::int32_t> found;
      ASSERT_TRUE(index.query(store, area, found));
      ASSERT_EQ(found, plainAnswer(store, area)) << "area " << x << ", " << y;
    }
  }
}

// Bounds read a run at a time are those read one by one, across the blocks' ends.
TEST(SpatialIndex, ReadsBoundsInRunsAsOneByOne) {
  std::mt19937 random(9);
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  addRandomEntities(store, random, 2600);
  const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
  for (const std::int32_t length : {1, 7, 256, 1000, 5000}) {
    Store::Reader runs(store), single(store);
    std::vector<Extents> bounds(static_cast<std::size_t>(length));
    std::int32_t i = 1;
    while (i <= store.count()) {
      const std::int32_t n = runs.boundsRun(i, length, bounds.data());
      ASSERT_GT(n, 0) << i;
      ASSERT_LE(n, length);
      for (std::int32_t k = 0; k < n; ++k, ++i) {
        Extents b;
        ASSERT_TRUE(single.boundsAt(i, b));
        const Extents& r = bounds[static_cast<std::size_t>(k)];
        ASSERT_TRUE(same(r.MinX, b.MinX) && same(r.MinY, b.MinY) && same(r.MaxX, b.MaxX) && same(r.MaxY, b.MaxY))
            << "entity " << i << " in runs of " << length;
      }
    }
    EXPECT_EQ(runs.boundsRun(i, length, bounds.data()), 0);
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
