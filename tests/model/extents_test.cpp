// How each add operation stores its record and widens the extents: the first entity after
// Clear replaces them, later ones fold their points in, in a fixed order that shows with
// NaN operands (MinValue and MaxValue keep their second argument when the first is NaN).
#include "model/add_operations.hpp"
#include "model/store.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace trazo {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Fresh : ::testing::Test {
  void SetUp() override { ASSERT_EQ(store.clear(), status::ok); }
  void expectExtents(double minX, double minY, double maxX, double maxY) {
    const Extents& e = store.extents();
    EXPECT_EQ(e.MinX, minX);
    EXPECT_EQ(e.MinY, minY);
    EXPECT_EQ(e.MaxX, maxX);
    EXPECT_EQ(e.MaxY, maxY);
  }
  Store store;
};

TEST(MinMaxValue, TiesAndOrder) {
  EXPECT_EQ(MinValue(2, 2), 2);
  EXPECT_EQ(MaxValue(2, 2), 2);
  EXPECT_EQ(MinValue(3, -1), -1);
  EXPECT_EQ(MaxValue(3, -1), 3);
  // On equal arguments MinValue returns b and MaxValue returns a.
  EXPECT_TRUE(std::signbit(MinValue(-0.0, 0.0)) == false);
  EXPECT_TRUE(std::signbit(MaxValue(-0.0, 0.0)) == true);
}

using LineExtents = Fresh;

TEST_F(LineExtents, FirstLineReplacesTheDefaultExtents) {
  ASSERT_EQ(addLine(store, 5, 5, 6, 7, 1, 0, u""), status::ok);
  expectExtents(5, 5, 6, 7);
}

TEST_F(LineExtents, KeepsItsDirectionAndStoresEveryField) {
  ASSERT_EQ(addLine(store, 3, 4, 1, 2, -3, 9, u"tag"), status::ok);
  const Entity e = *store.at(1);
  EXPECT_EQ(e.Kind, kKindLine);
  EXPECT_EQ(e.Value1, 3);
  EXPECT_EQ(e.Value2, 4);
  EXPECT_EQ(e.Value3, 1);
  EXPECT_EQ(e.Value4, 2);
  EXPECT_EQ(e.Value5, 0);
  EXPECT_EQ(e.Col, -3);
  EXPECT_EQ(e.LineType, 9);
  EXPECT_EQ(e.Tag, u"tag");
  EXPECT_TRUE(e.Text.empty());
  expectExtents(1, 2, 3, 4);
}

TEST_F(LineExtents, FirstLineTakesMinValueOfItsOwnPointsInOrder) {
  // MinValue(x1, x2) with x1 NaN gives x2; the reverse order would give NaN.
  ASSERT_EQ(addLine(store, nan, nan, 4, 6, 1, 0, u""), status::ok);
  expectExtents(4, 6, 4, 6);
}

TEST_F(LineExtents, LaterLinesFoldIntoTheBoundsAndNeverNarrowThem) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 10, 1, 0, u""), status::ok);
  ASSERT_EQ(addLine(store, 2, 2, 3, 3, 1, 0, u""), status::ok);
  expectExtents(0, 0, 10, 10);
  // A NaN point is folded as MinValue(x, MinX): the bound stays.
  ASSERT_EQ(addLine(store, nan, nan, -5, 20, 1, 0, u""), status::ok);
  expectExtents(-5, 0, 10, 20);
}

TEST_F(LineExtents, ZeroLengthLineIsStoredLikeAnyOther) {
  ASSERT_EQ(addLine(store, 5, 5, 5, 5, 1, 0, u""), status::ok);
  EXPECT_EQ(store.count(), 1);
  expectExtents(5, 5, 5, 5);
}

using CircleExtents = Fresh;

TEST_F(CircleExtents, FirstCircleSetsItsSquareOutright) {
  ASSERT_EQ(addCircle(store, 5, 5, 2, 1, 0, u""), status::ok);
  expectExtents(3, 3, 7, 7);
  EXPECT_EQ(store.at(1)->Kind, kKindCircle);
  EXPECT_EQ(store.at(1)->Value4, 0);
  EXPECT_EQ(store.at(1)->Value5, 0);
}

TEST_F(CircleExtents, ArcWidensByItsWholeCircle) {
  ASSERT_EQ(addLine(store, 0, 0, 1, 1, 1, 0, u""), status::ok);
  ASSERT_EQ(addArc(store, 0, 0, 10, 0, 1.5707963, 5, 0, u""), status::ok);
  expectExtents(-10, -10, 10, 10);
  EXPECT_EQ(store.at(2)->Kind, kKindArc);
}

TEST_F(CircleExtents, NegativeRadiusInvertsTheExtents) {
  ASSERT_EQ(addCircle(store, 0, 0, -1, 1, 0, u""), status::ok);
  expectExtents(1, 1, -1, -1);
}

TEST_F(CircleExtents, ZeroRadiusAddsTheCentreAlone) {
  ASSERT_EQ(addLine(store, 0, 0, 1, 1, 1, 0, u""), status::ok);
  ASSERT_EQ(addCircle(store, 4, -3, 0, 1, 0, u""), status::ok);
  expectExtents(0, -3, 4, 1);
}

TEST_F(CircleExtents, CircleInsideTheExtentsLeavesThemAlone) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 10, 1, 0, u""), status::ok);
  ASSERT_EQ(addCircle(store, 5, 5, 1, 1, 0, u""), status::ok);
  expectExtents(0, 0, 10, 10);
}

TEST_F(CircleExtents, ArcAnglesAreStoredBitForBit) {
  const double odd = std::bit_cast<double>(0x7FF8000000000123ull);  // a NaN with a payload
  ASSERT_EQ(addArc(store, 0, 0, 1, -0.0, 7 * 3.14159, 1, 0, u""), status::ok);
  ASSERT_EQ(addArc(store, 0, 0, 1, odd, odd, 1, 0, u""), status::ok);
  EXPECT_TRUE(std::signbit(store.at(1)->Value4));
  EXPECT_EQ(store.at(1)->Value5, 7 * 3.14159);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(store.at(2)->Value4), 0x7FF8000000000123ull);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(store.at(2)->Value5), 0x7FF8000000000123ull);
}

using TextExtents = Fresh;

TEST_F(TextExtents, FirstTextTakesExactlyTheBoundsOfItsBox) {
  ASSERT_EQ(addText(store, 0, 0, 10, 0, 1, u"ABC", u""), status::ok);
  // W = 15; the top of the baseline's end is at 15 + 10 cos(90 k) = 15.000000000000016.
  expectExtents(0, 0, 15.000000000000016, 10);
  const Entity e = *store.at(1);
  EXPECT_EQ(e.Kind, kKindText);
  EXPECT_EQ(e.Text, u"ABC");
  EXPECT_EQ(e.LineType, 0);
  EXPECT_EQ(e.Value5, 0);
}

TEST_F(TextExtents, FirstTextInsideTheDefaultExtentsStillReplacesThem) {
  ASSERT_EQ(addText(store, 0.25, 0.25, 0, 0, 1, u"A", u""), status::ok);
  expectExtents(0.25, 0.25, 0.25, 0.25);
}

TEST_F(TextExtents, UprightTextRisesAlongY) {
  // Tang 90 with four characters: W = 20 runs up from (100, 50); the height side points to -X.
  ASSERT_EQ(addText(store, 100, 50, 10, 90, 1, u"ABCD", u""), status::ok);
  const Extents& e = store.extents();
  EXPECT_NEAR(e.MinX, 90, 1e-9);
  EXPECT_NEAR(e.MaxX, 100, 1e-9);
  EXPECT_NEAR(e.MinY, 50, 1e-9);
  EXPECT_NEAR(e.MaxY, 70, 1e-9);
}

TEST_F(TextExtents, NegativeHeightReflectsTheBoxThroughTheInsertionPoint) {
  ASSERT_EQ(addText(store, 0, 0, -10, 0, 1, u"ABC", u""), status::ok);
  const Extents& e = store.extents();
  EXPECT_NEAR(e.MinX, -15, 1e-9);
  EXPECT_NEAR(e.MinY, -10, 1e-9);
  EXPECT_EQ(e.MaxX, 0);
  EXPECT_EQ(e.MaxY, 0);
}

TEST_F(TextExtents, LaterTextNeverShrinksTheExtents) {
  ASSERT_EQ(addLine(store, -100, -100, 100, 100, 1, 0, u""), status::ok);
  ASSERT_EQ(addText(store, 0, 0, 1, 30, 1, u"hi", u""), status::ok);
  expectExtents(-100, -100, 100, 100);
  EXPECT_EQ(store.count(), 2);
}

}  // namespace
}  // namespace trazo
