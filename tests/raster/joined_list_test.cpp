#include "raster/joined_list.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace trazo {
namespace {

std::vector<int> itemsOf(const JoinedList<int>& list) {
  std::vector<int> items;
  for (std::size_t n = 0; n < list.size(); ++n) items.push_back(list[n]);
  return items;
}

// The first join takes the other list's memory over, a later one copies; either way the
// items follow in order, adds go on at the end, and the other list is left empty.
TEST(JoinedList, JoinsInOrderWithAndWithoutCopying) {
  JoinedList<int> first, second, third;
  for (int i = 0; i < 3; ++i) first.push_back(i);
  for (int i = 3; i < 6; ++i) second.push_back(i);
  ASSERT_TRUE(first.joinsWithoutCopy(second));
  EXPECT_EQ(first.join(second), 3u);
  EXPECT_TRUE(second.empty());
  first.push_back(6);
  for (int i = 7; i < 9; ++i) third.push_back(i);
  ASSERT_FALSE(first.joinsWithoutCopy(third));
  first.reserve(1);  // less than the head alone holds
  first.reserve(first.size() + third.size());
  EXPECT_EQ(first.join(third), 7u);
  EXPECT_TRUE(third.empty());
  first.pop_back();
  EXPECT_EQ(itemsOf(first), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  first.clear();
  first.push_back(9);
  EXPECT_EQ(itemsOf(first), std::vector<int>{9});
}

}  // namespace
}  // namespace trazo
