// The device geometry: P1's coordinate system in device pixels, the arc sweep rules, the
// clipping that keeps huge shapes within reach, and the portable trigonometry they use.
#include "device/arc_sweep.hpp"
#include "device/device_clip.hpp"
#include "device/device_surface.hpp"
#include "device/portable_trig.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace trazo {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr Rgb kGreen{0, 255, 0};

// Keeps what the geometry hands over.
struct Recorder final : DeviceEngine {
  std::vector<DeviceLine> lines;
  std::vector<DeviceRound> rounds;
  int fills = 0;
  Status fill(Rgb) override { return ++fills, status::ok; }
  Status line(const DeviceLine& l) override { return lines.push_back(l), status::ok; }
  Status round(const DeviceRound& r) override { return rounds.push_back(r), status::ok; }
};

TEST(DeviceSurfaceMapping, ScaleMapsTheInnerCornersExactly) {
  DeviceSurface p1;
  p1.setDevice(1200, 600, 96, 96);
  ASSERT_EQ(p1.setScale(-10, 55, 110, -5), status::ok);
  for (const auto& [x, y, dx, dy] :
       std::vector<std::array<double, 4>>{{-10, 55, 0, 0}, {110, -5, 1200, 600}, {50, 25, 600, 300}}) {
    EXPECT_EQ(p1.toDevice(x, y).x, dx);
    EXPECT_EQ(p1.toDevice(x, y).y, dy);
  }
  EXPECT_EQ(p1.fromDevice(600, 300).x, 50);
  EXPECT_EQ(p1.fromDevice(600, 300).y, 25);
  float w = 0, h = 0;
  (void)p1.scaleWidth(w);
  (void)p1.scaleHeight(h);
  EXPECT_EQ(w, 120.0f);
  EXPECT_EQ(h, -60.0f);
}

TEST(DeviceSurfaceMapping, ScaleModeOneIsTwipsOfTheDevicesLogicalInch) {
  DeviceSurface p1;
  p1.setDevice(1200, 600, 96, 96);
  (void)p1.setScale(0, 1, 1, 0);
  ASSERT_EQ(p1.setScaleMode(1), status::ok);  // drops the user system
  float w = 0, h = 0;
  (void)p1.scaleWidth(w);
  (void)p1.scaleHeight(h);
  EXPECT_EQ(w, 18000.0f);  // 1200 pixels at 96 to the inch, 15 twips each
  EXPECT_EQ(h, 9000.0f);
  EXPECT_EQ(p1.toDevice(150, 300).x, 10);
  EXPECT_EQ(p1.toDevice(150, 300).y, 20);
  p1.setDevice(1200, 600, 120, 120);
  (void)p1.scaleWidth(w);
  EXPECT_EQ(w, 14400.0f);
  EXPECT_NE(p1.setScaleMode(3), status::ok);
}

// 500 x 500 pixels showing 0..10 each way, Y up: 50 pixels to the unit.
class DeviceSurfaceExtremes : public ::testing::Test {
 protected:
  DeviceSurfaceExtremes() {
    p1.setDevice(500, 500, 96, 96);
    p1.setEngine(&out);
    (void)p1.setScale(0, 10, 10, 0);
  }
  Recorder out;
  DeviceSurface p1;
};

TEST_F(DeviceSurfaceExtremes, HugeShapesAreCutToThePictureNotLost) {
  ASSERT_EQ(p1.line(-1e30f, 5, 1e30f, 5, kGreen), status::ok);
  ASSERT_EQ(p1.line(2, -3e38f, 2, 3e38f, kGreen), status::ok);
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_EQ(out.lines[0].x1, -kSegmentMargin);
  EXPECT_EQ(out.lines[0].x2, 500 + kSegmentMargin);
  EXPECT_EQ(out.lines[0].y1, 250);  // a horizontal line keeps its exact height
  EXPECT_EQ(out.lines[1].x1, 100);
  // A circle a million units wide whose top passes through (5, 8): chords along the top.
  out.lines.clear();
  ASSERT_EQ(p1.circle(5, 8 - 1e6f, 1e6f, kGreen), status::ok);
  EXPECT_TRUE(out.rounds.empty());
  ASSERT_FALSE(out.lines.empty());
  for (const DeviceLine& chord : out.lines) {
    EXPECT_NEAR(chord.y1, 100, 2);
    EXPECT_TRUE(inside({-kSegmentMargin, -kSegmentMargin, 502, 502}, chord.x1, chord.y1));
  }
}

TEST_F(DeviceSurfaceExtremes, NonFiniteAndUnplaceableShapesReachNoBackEnd) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(p1.line(nan, 5, 5, 5, kGreen), status::ok);
  EXPECT_EQ(p1.line(0, inf, 5, 5, kGreen), status::ok);
  EXPECT_EQ(p1.line(20, 20, 30, 40, kGreen), status::ok);  // wholly outside
  EXPECT_EQ(p1.circle(5, 5, inf, kGreen), status::ok);
  EXPECT_EQ(p1.circle(5, 5, 3e38f, kGreen), status::ok);          // encloses the picture
  EXPECT_EQ(p1.circle(3e38f, 5, 1, kGreen), status::ok);          // far outside it
  EXPECT_EQ(p1.circle(5, 5 - 1e14f, 1e14f, kGreen), status::ok);  // beyond what doubles place
  EXPECT_EQ(p1.arc(5, 5, 2, kGreen, nan, 1), status::ok);
  EXPECT_EQ(p1.setScale(0, 0, 0, 0), status::ok);  // a user system of no extent
  EXPECT_EQ(p1.line(1, 1, 2, 2, kGreen), status::ok);
  EXPECT_TRUE(out.lines.empty());
  EXPECT_TRUE(out.rounds.empty());
}

TEST_F(DeviceSurfaceExtremes, ArcsFollowTheSweepAndDashesKeepTheirRhythmAcrossACut) {
  ASSERT_EQ(p1.arc(5, 5, 2, kGreen, -0.5f, 1.0f), status::ok);  // a pie line to the start
  ASSERT_EQ(out.rounds.size(), 1u);
  EXPECT_FALSE(out.rounds[0].whole);
  EXPECT_DOUBLE_EQ(out.rounds[0].start, 0.5);
  EXPECT_DOUBLE_EQ(out.rounds[0].span, 0.5);
  EXPECT_EQ(out.rounds[0].r, 100);
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_EQ(out.lines[0].x1, 250);
  EXPECT_NEAR(out.lines[0].x2, 250 + 100 * std::cos(0.5), 1e-9);
  EXPECT_NEAR(out.lines[0].y2, 250 - 100 * std::sin(0.5), 1e-9);

  // A dashed line from 12.5 pixels left of the picture, 10.5 pixels before the cut box,
  // starts 10 pixels into its period.
  out.lines.clear();
  (void)p1.setDrawStyle(kDrawStyleDash);
  ASSERT_EQ(p1.line(-0.25f, 5, 5, 5, kGreen), status::ok);
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_EQ(out.lines[0].dash, DashPattern::dash);
  EXPECT_EQ(out.lines[0].phase, 10);
}

// The host's pen and colours travel with every shape; a wide pen measures a cut dashed line
// along its length and reaches further past the picture's border.
TEST_F(DeviceSurfaceExtremes, TheHostsPenAndColoursReachTheBackEnd) {
  ColourMap darker;
  ASSERT_TRUE(darker.set(kGreen, {0, 128, 0}));
  p1.setColourMap(darker);
  p1.setPen(penFor(4, 96));
  (void)p1.setDrawStyle(kDrawStyleDash);
  // From (-30, 540) to (60, 420) in device pixels, along (0.6, -0.8): the box widened by
  // 2 + 4 / 2 pixels ends at y = 504, 36 pixels up, 45 along the line, which is where the
  // cut line starts in the 4-unit pattern's 96 pixels.
  ASSERT_EQ(p1.line(-0.6f, -0.8f, 1.2f, 1.6f, kGreen), status::ok);
  ASSERT_EQ(p1.circle(5, 5, 1, {255, 0, 0}), status::ok);
  ASSERT_EQ(out.lines.size(), 1u);
  ASSERT_EQ(out.rounds.size(), 1u);
  const DeviceLine& l = out.lines[0];
  EXPECT_EQ(l.colour, (Rgb{0, 128, 0}));
  EXPECT_EQ(out.rounds[0].colour, (Rgb{255, 0, 0}));  // not in the map
  EXPECT_EQ(l.pen, penFor(4, 96));
  EXPECT_EQ(out.rounds[0].pen, penFor(4, 96));
  EXPECT_NEAR(l.y1, 504, 1e-9);  // cut at the widened box
  EXPECT_NEAR(l.phase, 45, 1e-4);
  // A line that only a wide pen's edge brings into the picture still arrives.
  ASSERT_EQ(p1.line(1, -0.07f, 9, -0.07f, kGreen), status::ok);  // 3.5 pixels below
  EXPECT_EQ(out.lines.size(), 2u);
}

TEST(DevicePen, GrowsItsDashesWithThePenOrTheDevice) {
  EXPECT_EQ(penFor(1, 96), DevicePen{});
  EXPECT_EQ(penFor(0, 96), DevicePen{});  // no width asked for: the classic pen
  EXPECT_EQ(penFor(1, 192), (DevicePen{1, 2}));
  EXPECT_EQ(penFor(3, 96), (DevicePen{3, 3}));
  EXPECT_EQ(penFor(3, 1200), (DevicePen{3, 12.5}));
  EXPECT_FALSE(penFor(1, 300).wide());
  const DashRuns dash = dashRuns(DashPattern::dashDot, 12.5);
  EXPECT_EQ(std::vector<int>(dash.begin(), dash.end()), (std::vector<int>{113, 75, 38, 75}));
  EXPECT_EQ(dash.period(), 301);
  EXPECT_EQ(dashRuns(DashPattern::dash).period(), kDashPeriod);
  EXPECT_TRUE(dashRuns(DashPattern::solid, 3).empty());
}

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

TEST(DeviceClip, SegmentsAreCutToTheBox) {
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

TEST(DeviceClip, ArcsIntersectAcrossTheStartOfATurn) {
  // [5.5, 5.5 + 1.5] wraps past zero; [0, 1] meets it in [0, 0.717...].
  const auto pieces = intersectArcs({5.5, 1.5}, {0, 1});
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_NEAR(pieces[0].from, 0, 1e-12);
  EXPECT_NEAR(pieces[0].width, 5.5 + 1.5 - kFullTurn, 1e-12);
  // A near-full arc meets a small one on both sides of its gap.
  EXPECT_EQ(intersectArcs({1, kFullTurn - 0.5}, {0.25, 1}).size(), 2u);
  EXPECT_TRUE(intersectArcs({0, 1}, {2, 1}).empty());
}

// The portable functions agree with the C library to a few units in the last place, over
// every quadrant, both signs and many turns.
TEST(PortableTrig, AgreesWithTheLibraryEverywhere) {
  for (double a = -40; a <= 40; a += 0.0137) {
    const SinCos sc = portableSinCos(a);
    EXPECT_NEAR(sc.sin, std::sin(a), 4e-16) << a;
    EXPECT_NEAR(sc.cos, std::cos(a), 4e-16) << a;
    const double y = std::sin(a) * (1 + std::fabs(a)), x = std::cos(a) * 3;
    EXPECT_NEAR(portableAtan2(y, x), std::atan2(y, x), 1e-15) << a;
  }
  EXPECT_EQ(portableSinCos(0).sin, 0);
  EXPECT_EQ(portableSinCos(0).cos, 1);
  EXPECT_EQ(portableAtan2(0, 0), 0);
  EXPECT_NEAR(portableSinCos(1e30).sin, std::sin(std::fmod(1e30, kFullTurn)), 1e-15);
  EXPECT_NEAR(portableSinCos(123456.789).cos, std::cos(123456.789), 4e-16);
}

}  // namespace
}  // namespace trazo
