// The painters: dash style from the line type and back to solid, colours, stored values
// handed over in single precision, and the text box outline.
#include "model/add_operations.hpp"
#include "render/entity_colour.hpp"
#include "render/reflash.hpp"
#include "support/trace_of.hpp"

#include <gtest/gtest.h>

namespace trazo {
namespace {

using testing::lines;

struct Painting : ::testing::Test {
  void SetUp() override { ASSERT_EQ(store.clear(), status::ok); }
  // The painting part of a Reflash trace: everything after FontSize.
  std::vector<std::string> paint() {
    std::ostringstream out;
    RecordingSurface picture(out, 4000, 2000);
    EXPECT_EQ(Reflash(store, picture), status::ok);
    auto all = lines(out.str());
    return {all.begin() + 4, all.end()};
  }
  Store store;
};

TEST(EntityColor, SixLightColoursAndRedForEverythingElse) {
  EXPECT_EQ(EntityColor(1), (Rgb{255, 0, 0}));
  EXPECT_EQ(EntityColor(2), (Rgb{255, 255, 0}));
  EXPECT_EQ(EntityColor(3), (Rgb{0, 255, 0}));
  EXPECT_EQ(EntityColor(4), (Rgb{0, 255, 255}));
  EXPECT_EQ(EntityColor(5), (Rgb{0, 0, 255}));
  EXPECT_EQ(EntityColor(6), (Rgb{255, 0, 255}));
  for (const int other : {0, 7, 9, -3, INT32_MIN, INT32_MAX}) EXPECT_EQ(EntityColor(other), (Rgb{255, 0, 0})) << other;
}

TEST_F(Painting, LineTypesMapToDashStylesAndAlwaysResetToSolid) {
  const std::pair<int, const char*> cases[] = {{1, "DrawStyle 1"}, {2, "DrawStyle 3"}, {3, "DrawStyle 4"}};
  for (const auto& [lType, style] : cases) ASSERT_EQ(addLine(store, 0, 0, 10, 5, 1, lType, u""), status::ok);
  for (const int plain : {0, 4, 5, -1}) ASSERT_EQ(addLine(store, 0, 0, 10, 5, 1, plain, u""), status::ok);
  const auto trace = paint();
  ASSERT_EQ(trace.size(), 3u * 3 + 4u * 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(trace[static_cast<std::size_t>(3 * i)], cases[i].second);
    EXPECT_EQ(trace[static_cast<std::size_t>(3 * i + 2)], "DrawStyle 0");
  }
  // Other codes set no style: just the line and the reset.
  for (std::size_t i = 9; i < trace.size(); i += 2) {
    EXPECT_EQ(trace[i].rfind("Line ", 0), 0u) << trace[i];
    EXPECT_EQ(trace[i + 1], "DrawStyle 0");
  }
}

TEST_F(Painting, CircleAndArcShareTheStyleFrame) {
  ASSERT_EQ(addCircle(store, 0, 0, 5, 3, 1, u""), status::ok);
  ASSERT_EQ(addArc(store, 0, 0, 5, 0, 1.5707963, 9, 3, u""), status::ok);
  ASSERT_EQ(addArc(store, 1, 1, 0, 2, 2, 5, 0, u""), status::ok);
  const auto trace = paint();
  const std::vector<std::string> expected = {
      "DrawStyle 1", "Circle 0 0 5 00FF00",  "DrawStyle 0", "DrawStyle 4", "Arc 0 0 5 FF0000 0 1.57079625",
      "DrawStyle 0", "Arc 1 1 0 0000FF 2 2", "DrawStyle 0"};
  EXPECT_EQ(trace, expected);
}

TEST_F(Painting, ArcAnglesAreHandedOverUnchanged) {
  ASSERT_EQ(addArc(store, 0, 0, 1, 5, -1, 1, 0, u""), status::ok);  // start beyond end, negative end
  EXPECT_EQ(paint()[0], "Arc 0 0 1 FF0000 5 -1");
}

TEST_F(Painting, LinesKeepTheirDirectionAndGoOverInSinglePrecision) {
  ASSERT_EQ(addLine(store, 10, 0, 0, 0.1, 1, 0, u""), status::ok);
  EXPECT_EQ(paint()[0], "Line 10 0 0 0.100000001 FF0000");
}

TEST_F(Painting, TextIsTheOutlineOfItsBoxInTheStyleInEffect) {
  ASSERT_EQ(addLine(store, -5, -5, 20, 20, 1, 2, u""), status::ok);
  ASSERT_EQ(addText(store, 0, 0, 10, 0, 2, u"ABC", u"tag"), status::ok);
  const auto trace = paint();
  // After the dashed line the style is solid again; the text sets none of its own.
  const std::vector<std::string> expected = {"DrawStyle 3",
                                             "Line -5 -5 20 20 FF0000",
                                             "DrawStyle 0",
                                             "Line 0 0 15 0 FFFF00",
                                             "Line 15 0 15 10 FFFF00",
                                             "Line 15 10 1.61554459e-14 10 FFFF00",
                                             "Line 1.61554459e-14 10 0 0 FFFF00"};
  EXPECT_EQ(trace, expected);
}

TEST_F(Painting, EmptyTextDrawsTheHeightSegmentUpAndBack) {
  ASSERT_EQ(addText(store, 2, 3, 4, 0, 1, u"", u""), status::ok);
  // W = 0: Q2 is Q1 and Q4 is Q3, so the baseline and the top edge have no length.
  const std::vector<std::string> expected = {"Line 2 3 2 3 FF0000", "Line 2 3 2 7 FF0000", "Line 2 7 2 7 FF0000",
                                             "Line 2 7 2 3 FF0000"};
  EXPECT_EQ(paint(), expected);
}

TEST_F(Painting, DashStyleFailureLeavesNothingDrawn) {
  ASSERT_EQ(addCircle(store, 0, 0, 5, 1, 2, u""), status::ok);
  std::ostringstream out;
  testing::FailingSurface picture(out, 5);  // Cls, ScaleMode, Scale, FontSize, DrawStyle
  EXPECT_EQ(Reflash(store, picture), status::unexpected);
  EXPECT_EQ(lines(out.str()).back(), "!DrawStyle");
}

TEST_F(Painting, TextOutlineStopsAtTheFirstRefusedLine) {
  ASSERT_EQ(addText(store, 0, 0, 10, 0, 1, u"ABC", u""), status::ok);
  ASSERT_EQ(addLine(store, 0, 0, 1, 1, 1, 0, u""), status::ok);
  std::ostringstream out;
  testing::FailingSurface picture(out, 6);  // the second side of the box
  EXPECT_EQ(Reflash(store, picture), status::unexpected);
  const auto trace = lines(out.str());
  EXPECT_EQ(trace[trace.size() - 2], "Line 0 0 15 0 FF0000");
  EXPECT_EQ(trace.back(), "!Line");
}

}  // namespace
}  // namespace trazo
