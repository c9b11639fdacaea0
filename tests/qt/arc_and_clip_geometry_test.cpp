// How P1 reads arc angles, and the geometry that keeps huge shapes within QPainter's reach.
#include "shells/qt/arc_sweep.hpp"
#include "shells/qt/clip_geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace trazo::qt {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(ArcSweep, RunsCounterClockwiseFromStartToEnd) {
  const auto quarter = arcSweep(0, kPi / 2);
  ASSERT_TRUE(quarter);
  EXPECT_DOUBLE_EQ(quarter->start, 0);
  EXPECT_DOUBLE_EQ(quarter->span, kPi / 2);
  EXPECT_FALSE(quarter->radiusToStart || quarter->radiusToEnd);

  const auto acrossX = arcSweep(3 * kPi / 2, kPi / 2);  // start after end: across +X
  ASSERT_TRUE(acrossX);
  EXPECT_DOUBLE_EQ(acrossX->span, kPi);

  const auto whole = arcSweep(1, 1);  // equal ends: the whole circle
  ASSERT_TRUE(whole);
  EXPECT_DOUBLE_EQ(whole->span, kFullTurn);
}

TEST(ArcSweep, NegativeAnglesAskForRadiusLinesAndTurnsWrap) {
  const auto pie = arcSweep(-0.5, -5.5);
  ASSERT_TRUE(pie);
  EXPECT_TRUE(pie->radiusToStart && pie->radiusToEnd);
  EXPECT_DOUBLE_EQ(pie->start, 0.5);
  EXPECT_DOUBLE_EQ(pie->span, 5);

  const auto wrapped = arcSweep(kFullTurn + 1, 3 * kFullTurn + 2);
  ASSERT_TRUE(wrapped);
  EXPECT_NEAR(wrapped->start, 1, 1e-12);
  EXPECT_NEAR(wrapped->span, 1, 1e-12);

  EXPECT_FALSE(arcSweep(std::numeric_limits<double>::quiet_NaN(), 1));
  EXPECT_FALSE(arcSweep(0, std::numeric_limits<double>::infinity()));
}

TEST(ClipGeometry, SegmentsAreCutToTheBox) {
  const DeviceRect box{0, 0, 100, 50};
  double x1 = -1e30, y1 = 25, x2 = 1e30, y2 = 25;
  ASSERT_TRUE(clipSegment(x1, y1, x2, y2, box));
  EXPECT_DOUBLE_EQ(x1, 0);
  EXPECT_DOUBLE_EQ(x2, 100);
  EXPECT_DOUBLE_EQ(y1, 25);

  double a = -50, b = 0, c = 50, d = 100;  // a diagonal entering at (0, 50)
  ASSERT_TRUE(clipSegment(a, b, c, d, box));
  EXPECT_DOUBLE_EQ(a, 0);
  EXPECT_DOUBLE_EQ(b, 50);
  EXPECT_DOUBLE_EQ(c, 0);

  double e = 200, f = 0, g = 300, h = 40;
  EXPECT_FALSE(clipSegment(e, f, g, h, box));
}

TEST(ClipGeometry, ArcsIntersectAcrossTheStartOfATurn) {
  // [5.5, 5.5 + 1.5] wraps past zero; [0, 1] meets it in [0, 0.717...].
  const auto pieces = intersectArcs({5.5, 1.5}, {0, 1});
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_NEAR(pieces[0].from, 0, 1e-12);
  EXPECT_NEAR(pieces[0].width, 5.5 + 1.5 - kFullTurn, 1e-12);
  // A near-full arc meets a small one on both sides of its gap.
  EXPECT_EQ(intersectArcs({1, kFullTurn - 0.5}, {0.25, 1}).size(), 2u);
  EXPECT_TRUE(intersectArcs({0, 1}, {2, 1}).empty());
}

}  // namespace
}  // namespace trazo::qt
