// An add that fails changes nothing: no record, the same count, the same extents. The
// floating-point checks look at each result, so they hold whatever the compiler flags.
#include "model/add_operations.hpp"
#include "model/store.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace trazo {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct AllOrNothing : ::testing::Test {
  void SetUp() override {
    ASSERT_EQ(store.clear(), status::ok);
    ASSERT_EQ(addLine(store, 0, 0, 10, 10, 1, 0, u"first"), status::ok);
    before = store.extents();
  }
  void expectUnchanged() {
    EXPECT_EQ(store.count(), 1);
    const Extents& e = store.extents();
    EXPECT_EQ(std::bit_cast<std::uint64_t>(e.MinX), std::bit_cast<std::uint64_t>(before.MinX));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(e.MinY), std::bit_cast<std::uint64_t>(before.MinY));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(e.MaxX), std::bit_cast<std::uint64_t>(before.MaxX));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(e.MaxY), std::bit_cast<std::uint64_t>(before.MaxY));
    EXPECT_EQ(store.at(2)->Kind, 0);
    EXPECT_EQ(store.at(1)->Tag, u"first");
  }
  Store store;
  Extents before;
};

TEST_F(AllOrNothing, CircleWhoseSquareOverflows) {
  EXPECT_EQ(addCircle(store, 1e308, 0, 1e308, 1, 0, u""), status::floatError);
  expectUnchanged();
}

TEST_F(AllOrNothing, CircleWithInfiniteCentreAndRadius) {
  // inf - inf is an invalid operation
  EXPECT_EQ(addCircle(store, inf, 0, inf, 1, 0, u""), status::floatError);
  expectUnchanged();
  EXPECT_EQ(addArc(store, 0, -inf, -inf, 0, 1, 1, 0, u""), status::floatError);
  expectUnchanged();
}

TEST_F(AllOrNothing, ArcWhoseSquareOverflowsOnlyAtTheHighCorner) {
  // CX - r and CY - r are fine; CX + r overflows, after MinX and MinY would have been written.
  EXPECT_EQ(addArc(store, 1e308, 0, 8e307, 0, 1, 1, 0, u""), status::floatError);
  expectUnchanged();
}

TEST_F(AllOrNothing, TextWhoseBoxOverflows) {
  EXPECT_EQ(addText(store, 0, 0, 1e308, 0, 1, u"ABCDEFGHIJ", u""), status::floatError);
  expectUnchanged();
  EXPECT_EQ(addText(store, 0, 0, 10, -inf, 1, u"A", u""), status::floatError);
  expectUnchanged();
}

TEST(FloatingPoint, QuietNaNAndInfinitiesFromTheCallerPassWithoutError) {
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_EQ(addCircle(store, nan, 0, 1, 1, 0, u""), status::ok);
  EXPECT_EQ(addCircle(store, inf, 0, 1, 1, 0, u""), status::ok);  // inf - 1 is exact
  EXPECT_EQ(addLine(store, -inf, 0, inf, 0, 1, 0, u""), status::ok);
  EXPECT_EQ(addText(store, nan, nan, nan, nan, 1, u"A", u""), status::ok);
  EXPECT_EQ(addCircle(store, 1e-308, 0, 1e-310, 1, 0, u""), status::ok);  // underflow is no error
  EXPECT_EQ(store.count(), 5);
}

}  // namespace
}  // namespace trazo
