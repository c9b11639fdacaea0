// The store's slots, growth in blocks of 1000, its limits and what Clear and release leave.
#include "model/add_operations.hpp"
#include "model/store.hpp"

#include <gtest/gtest.h>

#include <new>

namespace trazo {
namespace {

Status addNumberedLine(Store& store, int n) {
  return addLine(store, n, n, n + 1, n + 1, n % 7, n % 4,
                 u"t" + std::u16string(1, static_cast<char16_t>(u'a' + n % 26)));
}

bool isEmpty(const Entity& e) {
  return e.Kind == 0 && e.Value1 == 0 && e.Value2 == 0 && e.Value3 == 0 && e.Value4 == 0 && e.Value5 == 0 &&
         e.Col == 0 && e.LineType == 0 && e.Text.empty() && e.Tag.empty();
}

TEST(Store, ClearLeavesAnEmptyStoreWithRoomForAThousand) {
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_EQ(store.count(), 0);
  EXPECT_EQ(store.upperBound(), 1000);
  const Extents& e = store.extents();
  EXPECT_EQ(e.MinX, 0);
  EXPECT_EQ(e.MinY, 0);
  EXPECT_EQ(e.MaxX, 1);
  EXPECT_EQ(e.MaxY, 1);
  ASSERT_TRUE(store.at(0));
  EXPECT_TRUE(isEmpty(*store.at(0)));
  ASSERT_TRUE(store.at(1000));
  EXPECT_FALSE(store.at(1001));
  EXPECT_FALSE(store.at(-1));
}

TEST(Store, ClearAfterEntitiesDropsThemAndTwiceIsLikeOnce) {
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  for (int n = 1; n <= 1500; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  ASSERT_EQ(store.clear(), status::ok);
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_EQ(store.count(), 0);
  EXPECT_EQ(store.upperBound(), 1000);
  EXPECT_TRUE(isEmpty(*store.at(1)));
  EXPECT_EQ(store.extents().MaxX, 1);
}

TEST(Store, GrowsByAThousandAtTheThousandAndFirstEntity) {
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  const auto boundAfter = [&](int target) {
    while (store.count() < target) EXPECT_EQ(addNumberedLine(store, store.count() + 1), status::ok);
    return store.upperBound();
  };
  EXPECT_EQ(boundAfter(1000), 1000);
  EXPECT_EQ(boundAfter(1001), 2000);
  EXPECT_EQ(boundAfter(2000), 2000);
  EXPECT_EQ(boundAfter(2001), 3000);
  // Every record sits at its number, and the slots above the count are empty.
  for (int n = 1; n <= 2001; ++n) {
    ASSERT_EQ(store.at(n)->Value1, n) << n;
    ASSERT_EQ(store.at(n)->Kind, kKindLine);
  }
  EXPECT_TRUE(isEmpty(*store.at(2002)));
  EXPECT_TRUE(isEmpty(*store.at(3000)));
}

// A tag handed out stays where it is while the drawing grows: a repaint may hold it.
TEST(Store, GrowthNeverMovesAStoredTag) {
  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  ASSERT_EQ(addNumberedLine(store, 1), status::ok);
  const std::u16string_view first = store.at(1)->Tag;
  for (int n = 2; n <= 50001; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  EXPECT_EQ(store.at(1)->Tag.data(), first.data());
  EXPECT_EQ(store.at(50001)->Value1, 50001);
}

TEST(SlotPlan, CountAtTheLargestLongOverflows) {
  const SlotPlan plan = planSlot(2147483647, 2147483000);
  EXPECT_EQ(plan.status, status::overflow);
}

TEST(SlotPlan, UpperBoundThatWouldPassTheLargestLongOverflows) {
  // 2147483000 is the last multiple of 1000 below 2^31; the next block would end above it.
  const SlotPlan plan = planSlot(2147483000, 2147483000);
  EXPECT_EQ(plan.status, status::overflow);
  EXPECT_FALSE(plan.grows);
  const SlotPlan last = planSlot(2147482000, 2147482000);
  EXPECT_EQ(last.status, status::ok);
  EXPECT_TRUE(last.grows);
  EXPECT_EQ(last.newUpperBound, 2147483000);
  EXPECT_EQ(last.newCount, 2147482001);
}

TEST(SlotPlan, GrowsOnlyWhenTheCountPassesTheBound) {
  EXPECT_FALSE(planSlot(999, 1000).grows);
  const SlotPlan at1000 = planSlot(1000, 1000);
  EXPECT_TRUE(at1000.grows);
  EXPECT_EQ(at1000.newUpperBound, 2000);
  EXPECT_EQ(at1000.newCount, 1001);
}

std::unique_ptr<EntityBlock> failingAllocator() { throw std::bad_alloc(); }

int allocationsLeft = 0;
std::unique_ptr<EntityBlock> limitedAllocator() {
  if (allocationsLeft-- <= 0) throw std::bad_alloc();
  return allocateEntityBlock();
}

TEST(Store, FailedGrowthReportsOutOfMemoryAndKeepsEveryEntity) {
  allocationsLeft = 1;  // the first block only
  Store store(&limitedAllocator);
  ASSERT_EQ(store.clear(), status::ok);
  for (int n = 1; n <= 1000; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  const Extents before = store.extents();

  EXPECT_EQ(addNumberedLine(store, 1001), status::outOfMemory);
  EXPECT_EQ(store.count(), 1000);
  EXPECT_EQ(store.upperBound(), 1000);
  EXPECT_EQ(store.extents().MaxX, before.MaxX);
  for (int n = 1; n <= 1000; ++n) {
    ASSERT_EQ(store.at(n)->Value1, n);
    ASSERT_EQ(store.at(n)->Tag.size(), 2u);
  }
  allocationsLeft = 1;
  EXPECT_EQ(addNumberedLine(store, 1001), status::ok);
  EXPECT_EQ(store.count(), 1001);
}

TEST(Store, ClearKeepsItsBlocksForTheNextDrawing) {
  allocationsLeft = 2;
  Store store(&limitedAllocator);
  ASSERT_EQ(store.clear(), status::ok);
  for (int n = 1; n <= 1500; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  // No allocation is left: Clear and the same drawing again live on the blocks already held.
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_EQ(store.upperBound(), 1000);
  for (int n = 1; n <= 1000; ++n) ASSERT_TRUE(isEmpty(*store.at(n))) << n;
  for (int n = 1; n <= 1500; ++n) ASSERT_EQ(addNumberedLine(store, n + 7), status::ok);
  EXPECT_EQ(store.upperBound(), 2000);
  EXPECT_EQ(store.at(1001)->Value1, 1008);
  EXPECT_TRUE(isEmpty(*store.at(1501)));
  EXPECT_EQ(addNumberedLine(store, 0), status::ok);
  // A third block is new memory, and there is none.
  for (int n = 1502; n <= 2000; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  EXPECT_EQ(addNumberedLine(store, 2001), status::outOfMemory);
  EXPECT_EQ(store.count(), 2000);
}

TEST(Store, RoomSetAsideServesTheAddsAndIsTrimmedToWhatAClearKeeps) {
  // The first block, then three of the four blocks asked for: those allocated are kept.
  allocationsLeft = 1 + 3;
  Store store(&limitedAllocator);
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_EQ(store.setAsideFor(4500).size(), 3u);
  EXPECT_TRUE(store.setAsideFor(4000).empty());  // the room is there already
  for (int n = 1; n <= 4000; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  EXPECT_EQ(addNumberedLine(store, 4001), status::outOfMemory);
  EXPECT_EQ(store.at(4000)->Value1, 4000);

  // After a Clear the three spare blocks count as room; beyond kSpareBlocks the trim frees.
  const auto extra = static_cast<int>(kSpareBlocks) + 10;
  allocationsLeft = extra;
  ASSERT_EQ(store.clear(), status::ok);
  EXPECT_EQ(store.setAsideFor(std::int64_t{1000} * (4 + extra)).size(), static_cast<std::size_t>(extra));
  store.trimSpare();
  allocationsLeft = 0;
  const int room = 1000 * (1 + static_cast<int>(kSpareBlocks));
  for (int n = 1; n <= room; ++n) ASSERT_EQ(addNumberedLine(store, n), status::ok);
  EXPECT_EQ(addNumberedLine(store, room + 1), status::outOfMemory);
}

int heapReleases = 0;
void countHeapRelease() { ++heapReleases; }

TEST(Store, ClearHandsTheMemoryOfGreatTextsBack) {
  // Below kReleasedTextUnits of tags and texts a Clear keeps the heap as it is; from there
  // on it asks the C library to give the freed memory back. Release always asks.
  Store store(&allocateEntityBlock, &countHeapRelease);
  const std::u16string tag(kReleasedTextUnits / 4, u't');
  for (const std::size_t tags : {std::size_t{3}, std::size_t{4}}) {
    SCOPED_TRACE(tags);
    heapReleases = 0;
    ASSERT_EQ(store.clear(), status::ok);
    for (std::size_t i = 0; i < tags; ++i) ASSERT_EQ(addLine(store, 0, 0, 1, 1, 1, 0, tag), status::ok);
    ASSERT_EQ(store.clear(), status::ok);
    EXPECT_EQ(heapReleases, tags == 4 ? 1 : 0);
  }
  store.release();
  EXPECT_EQ(heapReleases, 2);
}

TEST(Store, FailedClearAfterReleaseLeavesTheArrayMissing) {
  allocationsLeft = 1;
  Store store(&limitedAllocator);
  ASSERT_EQ(store.clear(), status::ok);
  ASSERT_EQ(addNumberedLine(store, 1), status::ok);
  store.release();
  EXPECT_EQ(store.clear(), status::outOfMemory);
  EXPECT_EQ(store.count(), 1);
  EXPECT_FALSE(store.at(1));
}

TEST(Store, WithoutAnArrayEverySlotIsOutOfRange) {
  Store never(&failingAllocator);
  EXPECT_EQ(never.clear(), status::outOfMemory);
  EXPECT_EQ(addNumberedLine(never, 1), status::subscript);

  Store store;
  ASSERT_EQ(store.clear(), status::ok);
  ASSERT_EQ(addNumberedLine(store, 1), status::ok);
  store.release();
  EXPECT_FALSE(store.at(1));
  EXPECT_FALSE(store.at(0));
  EXPECT_EQ(addNumberedLine(store, 2), status::subscript);
  EXPECT_EQ(store.count(), 1);  // the count is not touched by the release
}

}  // namespace
}  // namespace trazo
