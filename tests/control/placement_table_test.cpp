// P1's placement as the control owns it, run through the table every shell runs
// (tests/placement_cases.txt): the status of each assignment, the whole pixels after it,
// and a shell told of every accepted change and of nothing else.
#include "control/trazo.hpp"
#include "support/placement_cases.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace trazo {
namespace {

struct Window : PlacementListener {
  void picturePlaced(const PixelPlacement& pixels) override { placed.push_back(pixels); }
  std::vector<PixelPlacement> placed;
};

std::string describe(const PixelPlacement& p) {
  return std::to_string(p.left) + " " + std::to_string(p.top) + " " + std::to_string(p.width) + " " +
         std::to_string(p.height);
}

TEST(PicturePlacement, EveryCaseOfTheTable) {
  const std::vector<testing::PlacementCase> cases = testing::placementCases();
  ASSERT_GT(cases.size(), 20u);
  for (const testing::PlacementCase& c : cases) {
    Trazo t;
    Window window;
    t.placement().attach(&window, testing::kPlacementCasesDpi, testing::kPlacementCasesDpi);
    for (const testing::PlacementStep& step : c.steps) {
      SCOPED_TRACE(c.name + ", line " + std::to_string(step.line));
      ASSERT_NE(step.line, 0) << "the table cannot be read";
      const std::size_t told = window.placed.size();
      const Status s = testing::assign(t.placement(), step);
      EXPECT_EQ(s, step.refused ? status::invalidCall : status::ok);
      EXPECT_EQ(describe(t.placement().pixels()), describe(step.expected));
      // The shell hears of an accepted assignment, with the same pixels, and of no refusal.
      const bool assigned = step.property != "-";
      ASSERT_EQ(window.placed.size(), told + (assigned && !step.refused ? 1 : 0));
      EXPECT_EQ(describe(window.placed.back()), describe(step.expected));
    }
  }
}

// A refused value leaves the twips as they were, so a later change of resolution cannot
// bring it back; an accepted one is kept as given, not rounded.
TEST(PicturePlacement, KeepsTheTwipsItAccepted) {
  Trazo t;
  EXPECT_EQ(t.placement().setWidth(1000.5f), status::ok);
  EXPECT_EQ(t.placement().setLeft(-1e30f), status::invalidCall);
  EXPECT_EQ(t.placement().twips().width, 1000.5f);
  EXPECT_EQ(t.placement().twips().left, kInitialPictureLeft);
  Window window;
  t.placement().attach(&window, 192, 48);  // twice as fine across, half as fine down
  EXPECT_EQ(describe(window.placed.at(0)), describe({32, 14, 133, 83}));
}

}  // namespace
}  // namespace trazo
