// The limits of the store: a count at 2147483647, and an upper bound that would pass
// 2147483647 when the store grows. Both answer with the overflow status and change nothing.
// The last multiple of 1000 below the limit is 2147483000; growing past it would need
// 2147484000. The arithmetic alone (planSlot) is tested with the store; here the store and
// the control answer at those limits.
#include "automation/late_binding.hpp"
#include "model/add_operations.hpp"
#include "tests/hardening/store_test_seam.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace trazo {
namespace {

constexpr std::int32_t kLargest = 2147483647;
constexpr std::int32_t kLastBound = 2147483000;
constexpr std::size_t kLastBlocks = kLastBound / kBlockSize;

// Every add on a store holding `count` entities must answer overflow and change nothing:
// not the count, the upper bound, the extents, nor any slot of the one real block.
void expectEveryAddOverflows(std::int32_t count, std::size_t blocks) {
  Store store;
  StoreTestSeam::nearLimit(store, count, blocks);
  store.extents() = {-1, -2, 3, 4};
  const Extents extents = store.extents();
  const std::int32_t upperBound = store.upperBound();
  auto unchanged = [&] {
    if (store.count() != count || store.upperBound() != upperBound || !testing::sameExtents(store.extents(), extents))
      return false;
    for (std::int32_t i = upperBound - kBlockSize + 1; i <= upperBound; ++i) {
      if (!testing::sameRecord(*store.at(i), Entity{})) return false;
    }
    return true;
  };
  const std::function<Status()> adds[] = {
      [&] { return addLine(store, 0, 0, 1, 1, 1, 0, u"tag"); },
      [&] { return addCircle(store, 0, 0, 1, 1, 0, u""); },
      [&] { return addArc(store, 0, 0, 1, 0, 1, 1, 0, u""); },
      [&] { return addText(store, 0, 0, 1, 0, 1, u"ABC", u""); },
  };
  for (const auto& add : adds) {
    EXPECT_EQ(add(), status::overflow);
    EXPECT_TRUE(unchanged());
  }
}

TEST(StoreLimits, ACountAtTheLargestLongOverflows) { expectEveryAddOverflows(kLargest, kLastBlocks); }

TEST(StoreLimits, GrowingPastTheLargestLongOverflows) { expectEveryAddOverflows(kLastBound, kLastBlocks); }

TEST(StoreLimits, TheLastSlotsBeforeTheLimitAreStillTaken) {
  Store store;
  StoreTestSeam::nearLimit(store, kLastBound - 1, kLastBlocks);
  EXPECT_EQ(addLine(store, 5, 5, 6, 7, 3, 1, u"last"), status::ok);
  EXPECT_EQ(store.count(), kLastBound);
  EXPECT_EQ(store.at(kLastBound)->Tag, u"last");
  EXPECT_EQ(addLine(store, 5, 5, 6, 7, 3, 1, u"one too many"), status::overflow);
  EXPECT_EQ(store.count(), kLastBound);
}

// Two slots left: the bottom and the top of the box are kept, the left side overflows and
// the right one is never tried.
TEST(StoreLimits, AddBoxKeepsTheSidesThatFit) {
  Trazo t;
  StoreTestSeam::nearLimit(StoreTestSeam::storeOf(t), kLastBound - 2, kLastBlocks);
  EXPECT_EQ(t.AddBox(10, 20, 0, 5, 1, 0, u""), status::overflow);
  EXPECT_EQ(t.store().count(), kLastBound);
  const Entity bottom = *t.store().at(kLastBound - 1);
  const Entity top = *t.store().at(kLastBound);
  EXPECT_EQ(bottom.Value2, 5);
  EXPECT_EQ(bottom.Value4, 5);
  EXPECT_EQ(top.Value2, 20);
  EXPECT_EQ(top.Value4, 20);
}

TEST(StoreLimits, CountReportsTheLargestLongThroughLateBinding) {
  Trazo t;
  StoreTestSeam::nearLimit(StoreTestSeam::storeOf(t), kLargest, kLastBlocks);
  Variant result;
  EXPECT_EQ(invoke(t, dispid::Count, kInvokePropertyGet, {}, {}, &result), status::ok);
  EXPECT_EQ(result, Variant{kLargest});
  const std::vector<Variant> args{0.0, 0.0, 1.0, 1.0, std::int32_t{1}, std::int32_t{0}, std::u16string(u"x")};
  EXPECT_EQ(invoke(t, dispid::AddLine, kInvokeMethod, args, {}), status::overflow);
  EXPECT_EQ(invoke(t, dispid::AddBox, kInvokeMethod, args, {}), status::overflow);
  EXPECT_EQ(t.store().count(), kLargest);
}

}  // namespace
}  // namespace trazo
