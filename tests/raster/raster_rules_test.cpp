// The raster back end's pixel rules: which pixels a segment, a circle and an arc take, how
// dash patterns run along them, and that bands never change a pixel.
#include "raster/raster_surface.hpp"
#include "tests/raster/random_drawing.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <utility>
#include <vector>

namespace trazo {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr Rgb kGreen{0, 255, 0};
constexpr std::uint32_t kInk = pixelOf(kGreen);

using Pixels = std::set<std::pair<int, int>>;

// A picture of w x h pixels whose user units are its pixels, Y down as on the device.
struct Picture {
  explicit Picture(int w = 64, int h = 48) {
    EXPECT_TRUE(p1.setPixelSize(w, h));
    (void)p1.setScale(0, 0, w, h);
    (void)p1.cls();
  }
  Pixels ink() {
    Pixels out;
    const PixelBuffer& b = p1.picture();
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x)
        if (b.at(x, y) == kInk) out.insert({x, y});
    return out;
  }
  RasterSurface p1;
};

TEST(RasterLines, TakeEveryPixelFromTheFirstEndToTheLastBothIncluded) {
  struct Case {
    const char* what;
    float x1, y1, x2, y2;
    Pixels expected;
  };
  const std::vector<Case> cases = {
      {"a point falls in the pixel whose square holds it", 2.9f, 3.1f, 5.2f, 3.9f, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
      {"a zero-length segment draws its pixel", 7.5f, 7.5f, 7.5f, 7.5f, {{7, 7}}},
      {"ends in one pixel draw that pixel", 7.1f, 7.2f, 7.9f, 7.8f, {{7, 7}}},
      {"vertical, backwards", 1, 9, 1, 6, {{1, 6}, {1, 7}, {1, 8}, {1, 9}}},
      {"a diagonal steps both ways each pixel", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      // 4 steps along X, 1 along Y: the step comes where the exact line passes half a pixel.
      {"the shorter axis rounds half up", 0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
      {"only what lies in the picture", -3, 2, 1, 2, {{0, 2}, {1, 2}}},
  };
  for (const Case& c : cases) {
    Picture pic;
    ASSERT_EQ(pic.p1.line(c.x1, c.y1, c.x2, c.y2, kGreen), status::ok);
    EXPECT_EQ(pic.ink(), c.expected) << c.what;
  }
}

// The on and off runs along row 5 of a dashed segment drawn from x0 towards x1.
std::vector<int> runs(std::int32_t style, float x0, float x1, int width = 120) {
  Picture pic(width, 10);
  (void)pic.p1.setDrawStyle(style);
  (void)pic.p1.line(x0, 5, x1, 5, kGreen);
  const Pixels ink = pic.ink();
  std::vector<int> out;
  const int step = x1 > x0 ? 1 : -1;
  bool on = true;
  int run = 0;
  for (int x = static_cast<int>(x0); x != static_cast<int>(x1) + step; x += step) {
    if (ink.count({x, 5}) != 0 && x >= 0 && x < width) {
      if (!on) out.push_back(run), run = 0, on = true;
    } else if (on) {
      out.push_back(run), run = 0, on = false;
    }
    ++run;
  }
  out.push_back(run);
  return out;
}

TEST(RasterDashes, RunInDevicePixelsFromTheFirstEnd) {
  EXPECT_EQ(runs(kDrawStyleDash, 0, 59), (std::vector<int>{18, 6, 18, 6, 12}));
  EXPECT_EQ(runs(kDrawStyleDash, 59, 0), (std::vector<int>{18, 6, 18, 6, 12}));  // drawn backwards
  EXPECT_EQ(runs(kDrawStyleDashDot, 0, 47), (std::vector<int>{9, 6, 3, 6, 9, 6, 3, 6}));
  EXPECT_EQ(runs(kDrawStyleDashDotDot, 0, 47), (std::vector<int>{9, 3, 3, 3, 3, 3, 9, 3, 3, 3, 3, 3}));
  EXPECT_EQ(runs(kDrawStyleSolid, 0, 47), (std::vector<int>{48}));
  // Cut at the picture's left edge, the pattern keeps the rhythm it had from x = -30.
  Picture cut(40, 10), whole(80, 10);
  (void)cut.p1.setDrawStyle(kDrawStyleDash);
  (void)whole.p1.setDrawStyle(kDrawStyleDash);
  (void)cut.p1.line(-30, 5, 39, 5, kGreen);
  (void)whole.p1.line(0, 5, 69, 5, kGreen);
  const Pixels a = cut.ink(), b = whole.ink();
  for (int x = 0; x < 40; ++x) EXPECT_EQ(a.count({x, 5}), b.count({x + 30, 5})) << x;
}

// The ring of a circle of radius r about (32, 24).
Pixels ring(int r, double start = 0, double end = 0, bool whole = true, std::int32_t style = kDrawStyleSolid) {
  Picture pic(64 + 2 * r, 48 + 2 * r);
  (void)pic.p1.setScale(-r, -r, 64 + r, 48 + r);
  (void)pic.p1.setDrawStyle(style);
  if (whole) {
    (void)pic.p1.circle(32.5f, 24.5f, static_cast<float>(r), kGreen);
  } else {
    (void)pic.p1.arc(32.5f, 24.5f, static_cast<float>(r), kGreen, static_cast<float>(start), static_cast<float>(end));
  }
  Pixels out;
  for (const auto& [x, y] : pic.ink()) out.insert({x - r - 32, y - r - 24});  // about the centre pixel
  return out;
}

TEST(RasterCircles, AreEightFoldSymmetricConnectedRings) {
  for (const int r : {0, 1, 2, 5, 17, 40}) {
    const Pixels p = ring(r);
    if (r == 0) {
      EXPECT_EQ(p, (Pixels{{0, 0}}));
      continue;
    }
    for (const auto& [x, y] : p) {
      for (const auto& q : {std::pair{-x, y}, {x, -y}, {y, x}, {-y, -x}}) EXPECT_EQ(p.count(q), 1u) << r;
      EXPECT_NEAR(std::hypot(x, y), r, 0.75) << r;
      int neighbours = 0;
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) neighbours += (dx || dy) && p.count({x + dx, y + dy});
      EXPECT_GE(neighbours, 2) << r;
    }
    EXPECT_EQ(p.count({r, 0}) + p.count({0, -r}) + p.count({-r, 0}) + p.count({0, r}), 4u);
  }
}

TEST(RasterArcs, RunCounterClockwiseOnTheScreenFromStartToEnd) {
  const int r = 20;
  const Pixels whole = ring(r);
  struct Case {
    const char* what;
    double start, end;
    bool (*inside)(int x, int y);  // screen offsets, Y down
  };
  const std::vector<Case> cases = {
      {"first quadrant: up and right", 0, kPi / 2, [](int x, int y) { return x >= 0 && y <= 0; }},
      {"second quadrant", kPi / 2, kPi, [](int x, int y) { return x <= 0 && y <= 0; }},
      {"third quadrant", kPi, 3 * kPi / 2, [](int x, int y) { return x <= 0 && y >= 0; }},
      {"fourth quadrant", 3 * kPi / 2, 2 * kPi - 1e-9, [](int x, int y) { return x >= 0 && y >= 0; }},
      {"across +X", 3 * kPi / 2, kPi / 2, [](int x, int) { return x >= 0; }},
  };
  for (const Case& c : cases) {
    const Pixels arc = ring(r, c.start, c.end, false);
    std::size_t expected = 0;
    for (const auto& [x, y] : whole) expected += c.inside(x, y);
    for (const auto& [x, y] : arc) EXPECT_TRUE(c.inside(x, y)) << c.what << " " << x << "," << y;
    EXPECT_NEAR(static_cast<double>(arc.size()), static_cast<double>(expected), 2) << c.what;
  }
  // An arc and the rest of its circle make the whole ring, sharing their two end pixels.
  const Pixels a = ring(r, 1, 4, false), b = ring(r, 4, 1, false);
  Pixels both = a;
  both.insert(b.begin(), b.end());
  EXPECT_EQ(both, whole);
  EXPECT_EQ(a.size() + b.size(), whole.size() + 2);
  EXPECT_EQ(ring(r, 2, 2, false), whole);  // equal ends: the whole circle
}

TEST(RasterArcs, DashesRunFromTheStartAlongTheRing) {
  const int r = 30;
  const std::size_t total = ring(r).size();
  // The dash pattern is on for 18 of every 24 pixels counted along the ring.
  std::size_t lit = 0;
  for (std::size_t i = 0; i < total; ++i) lit += (i % 24) < 18;
  EXPECT_EQ(ring(r, 0, 0, true, kDrawStyleDash).size(), lit);
  // An arc's first 18 pixels are lit whatever its start.
  const Pixels arc = ring(r, 1.0, 1.4, false, kDrawStyleDash);
  EXPECT_EQ(arc.size(), std::min<std::size_t>(ring(r, 1.0, 1.4, false).size(), 18));
}

constexpr std::size_t kAllHeld = std::numeric_limits<std::size_t>::max();

// A drawing of many random shapes comes out the same whatever the bands and threads, whether
// or not the shapes later ones hide are passed over, and however few commands are held
// before they are drawn, also by an engine that drew a picture of another size before (and
// keeps what it drew that with). Wide and scaled-dash lines cross a few rows only: the
// bands they reach are drawn in order, the others backwards. The second picture is more than
// 64 tiles wide, its drawing stretched across.
TEST(RasterBands, NeverChangeAPixel) {
  struct Drawn {
    std::vector<std::uint32_t> pixels;
    int workers = 0, backwards = 0;
  };
  auto draw = [](int bandRows, int threads, bool passOverHidden = true, std::size_t held = kAllHeld) {
    RasterSurface p1;
    p1.raster().setCommandsHeld(held);
    p1.raster().setBandRows(bandRows);
    p1.raster().setThreads(threads);
    p1.raster().setPassOverHidden(passOverHidden);
    EXPECT_TRUE(p1.setPixelSize(420, 150));
    (void)p1.setScale(0, 150, 420, 0);
    (void)p1.cls();
    testing::drawRandomShapes(p1, 3, 12000);
    (void)p1.picture();
    EXPECT_TRUE(p1.setPixelSize(1200, 200));
    (void)p1.setScale(0, 200, 300, 0);
    (void)p1.cls();
    testing::drawRandomShapes(p1, 7, 12000);
    // Rows 37 to 73 of the picture, then classic shapes over them.
    (void)p1.setDrawStyle(kDrawStyleDash);
    for (const DevicePen pen : {DevicePen{5, 5}, DevicePen{1, 3}}) {
      p1.setPen(pen);
      for (float i = 0; i < 6; ++i) (void)p1.line(-10, 130 + 6 * i, 310, 160 - 5 * i, {200, 10, 1});
    }
    p1.setPen({});
    testing::drawRandomShapes(p1, 9, 300);
    const PixelBuffer& b = p1.picture();
    return Drawn{std::vector<std::uint32_t>(b.data(), b.data() + 1200 * 200), p1.raster().lastWorkers(),
                 p1.raster().lastBackwardsBands()};
  };
  const auto reference = draw(200, 1, false).pixels;
  struct Case {
    int rows, threads;
    std::size_t held;
  };
  for (const auto& [rows, threads, held] : std::vector<Case>{{1, 1, kAllHeld},
                                                             {7, 2, kAllHeld},
                                                             {64, 3, kAllHeld},
                                                             {128, 0, kAllHeld},
                                                             {13, 8, kAllHeld},
                                                             {64, 2, 1},
                                                             {32, 2, 5000}}) {
    const Drawn drawn = draw(rows, threads, true, held);
    EXPECT_EQ(drawn.pixels, reference) << rows << " rows, " << threads << " threads, " << held << " held";
    if (held != kAllHeld) continue;  // the last part drawn has no fill to draw backwards over
    int bandRowsUsed = 1;
    while (bandRowsUsed < rows) bandRowsUsed *= 2;
    EXPECT_GT(drawn.backwards, 0) << rows << " rows";
    EXPECT_LT(drawn.backwards, (200 + bandRowsUsed - 1) / bandRowsUsed) << rows << " rows";
  }
  EXPECT_EQ(draw(64, 2, false).pixels, reference);
  EXPECT_EQ(draw(0, 1).pixels, reference);  // the bands the engine lays for one thread
  EXPECT_EQ(draw(16, 3).workers, 3);        // a drawing this large is shared out
}

// A second engine, whose commands are joined to the first's, records into the bands the
// first laid, whatever it would lay for the threads it has itself.
TEST(RasterBands, ASecondEngineRecordsIntoTheBandsOfTheFirst) {
  struct OneThread final : BandRunner {
    int parallelism() const override { return 1; }
    int run(int count, int, BandWork& work) override {
      for (int band = 0; band < count; ++band) work.draw(band);
      return 1;
    }
  } oneThread;
  RasterEngine first;
  first.setThreads(2);
  ASSERT_TRUE(first.resize(64, 600));
  ASSERT_EQ(first.fill({}), status::ok);
  RasterEngine second(oneThread);
  ASSERT_TRUE(second.recordLike(first));
  EXPECT_EQ(first.append(second), status::ok);
}

// A band taller than its lists' tile boxes reach (256 rows) asks each command's own bounds
// instead, and a picture drawn backwards in one such band keeps every pixel.
TEST(RasterBands, TallBandsDrawnBackwardsKeepEveryPixel) {
  auto draw = [](int bandRows, bool passOverHidden) {
    RasterSurface p1;
    p1.raster().setBandRows(bandRows);
    p1.raster().setThreads(1);
    p1.raster().setPassOverHidden(passOverHidden);
    EXPECT_TRUE(p1.setPixelSize(200, 600));
    (void)p1.setScale(0, 600, 200, 0);
    (void)p1.cls();
    testing::drawRandomShapes(p1, 5, 20000);
    const PixelBuffer& b = p1.picture();
    EXPECT_EQ(p1.raster().lastBackwardsBands(), passOverHidden ? 1 : 0);
    return std::vector<std::uint32_t>(b.data(), b.data() + 200 * 600);
  };
  EXPECT_EQ(draw(1024, true), draw(1024, false));
}

}  // namespace
}  // namespace trazo
