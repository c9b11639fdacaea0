// Pens other than the classic one pixel (wide lines and outlines, dash patterns scaled to
// the pen and to the device), and buffers that hold only a window of the picture.
#include "raster/raster_surface.hpp"
#include "tests/raster/random_drawing.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace trazo {
namespace {

constexpr Rgb kGreen{0, 255, 0};
constexpr std::uint32_t kInk = pixelOf(kGreen);

// A picture of w x h pixels whose user units are its pixels, Y down as on the device.
struct Picture {
  Picture(int w, int h, DevicePen pen, double dpi = kScreenDpi) {
    EXPECT_TRUE(p1.setPixelSize(w, h, dpi, dpi));
    p1.setPen(pen);
    (void)p1.setScale(0, 0, w, h);
    (void)p1.cls();
  }
  bool ink(int x, int y) { return p1.picture().at(x, y) == kInk; }
  // Lengths of ink, gap, ink ... along row y, from the first ink on.
  std::vector<int> runsAlongRow(int y) {
    std::vector<int> runs;
    const PixelBuffer& b = p1.picture();
    for (int x = 0; x < b.width(); ++x) {
      const bool on = b.at(x, y) == kInk;
      if (runs.empty() && !on) continue;
      if ((runs.size() % 2 == 0) == on) runs.push_back(0);
      ++runs.back();
    }
    if (runs.size() % 2 == 0 && !runs.empty()) runs.pop_back();
    return runs;
  }
  RasterSurface p1;
};

TEST(RasterPens, AWideLineIsAsThickAsThePenWithSquareEnds) {
  // Half a width of 1.5 about y = 10.5 takes the rows whose centres are 9.5 to 11.5, and the
  // square ends reach 1.5 past x = 10 and x = 30: centres 8.5 to 31.5, columns 8 to 31.
  Picture pic(48, 24, penFor(3, kScreenDpi));
  (void)pic.p1.line(10, 10.5f, 30, 10.5f, kGreen);
  for (int y = 6; y < 15; ++y) {
    for (int x = 4; x < 36; ++x) EXPECT_EQ(pic.ink(x, y), y >= 9 && y <= 11 && x >= 8 && x <= 31) << x << ", " << y;
  }
  // Across a diagonal the pen is as wide too: about 3 * sqrt(2) pixels along a row.
  Picture diagonal(48, 48, penFor(3, kScreenDpi));
  (void)diagonal.p1.line(4, 4, 44, 44, kGreen);
  const std::vector<int> across = diagonal.runsAlongRow(24);
  ASSERT_EQ(across.size(), 1u);
  EXPECT_NEAR(across[0], 3 * std::sqrt(2.0), 1);
}

TEST(RasterPens, DashesGrowWithThePenAndTheDevice) {
  struct Case {
    const char* what;
    DevicePen pen;
    double dpi;
    std::int32_t style;
    std::vector<int> runs;
  };
  const Case cases[] = {
      {"classic", penFor(1, 96), 96, kDrawStyleDash, {18, 6, 18, 6, 18, 6, 18, 6, 18}},
      {"device pixel ratio 2", penFor(1, 192), 192, kDrawStyleDash, {36, 12, 36, 12, 36, 12, 36}},
      {"three-pixel pen", penFor(3, 96), 96, kDrawStyleDash, {54, 18, 54, 18, 54}},
      // 9, 6, 3, 6 times 1.5, rounded to whole pixels: 14 (13.5 up), 9, 5 (4.5 up), 9.
      {"144 dots to the inch", penFor(1, 144), 144, kDrawStyleDashDot, {14, 9, 5, 9, 14, 9, 5, 9, 14, 9, 5}},
  };
  for (const Case& c : cases) {
    Picture pic(240, 16, c.pen, c.dpi);
    (void)pic.p1.setDrawStyle(c.style);
    (void)pic.p1.line(0, 8.5f, 239, 8.5f, kGreen);
    std::vector<int> runs = pic.runsAlongRow(8);
    ASSERT_GE(runs.size(), c.runs.size()) << c.what;
    runs.resize(c.runs.size());
    EXPECT_EQ(runs, c.runs) << c.what;
  }
}

TEST(RasterPens, AWideCircleIsARingOfThePensWidthAndAnArcKeepsToItsSweep) {
  // Radius 20 about (40.5, 40.5), 4 wide: every pixel whose centre lies 18 to 22 from the
  // centre, and none beyond; the upper-right quarter of it for the arc 0 to pi/2.
  for (const bool whole : {true, false}) {
    Picture pic(81, 81, penFor(4, kScreenDpi));
    if (whole) {
      (void)pic.p1.circle(40.5f, 40.5f, 20, kGreen);
    } else {
      (void)pic.p1.arc(40.5f, 40.5f, 20, kGreen, 0, 1.5707964f);
    }
    for (int y = 0; y < 81; ++y) {
      for (int x = 0; x < 81; ++x) {
        const double dx = x + 0.5 - 40.5, dy = y + 0.5 - 40.5, d = std::hypot(dx, dy);
        const bool inQuarter = dx >= 0 && dy <= 0;
        if (std::fabs(d - 20) > 2.01 || (!whole && !inQuarter)) {
          EXPECT_FALSE(pic.ink(x, y)) << whole << ": " << x << ", " << y;
        } else if (std::fabs(d - 20) < 1.99 && (whole || (dx > 0.5 && dy < -0.5))) {
          EXPECT_TRUE(pic.ink(x, y)) << whole << ": " << x << ", " << y;
        }
      }
    }
  }
}

// Draws the same random drawing on the whole picture and into windows of it: each window
// must hold exactly the whole picture's pixels there, for every kind of pen. Dashed circles
// and arcs too large for the raster cross the picture as chords, whose pattern runs on from
// chord to chord whether or not a chord reaches the window.
TEST(RasterWindows, HoldThePixelsOfTheWholePictureCutToTheWindow) {
  constexpr int kW = 300, kH = 200;
  const auto draw = [](RasterSurface& p1, DevicePen pen) {
    p1.setPen(pen);
    (void)p1.setScale(0, kH, kW, 0);
    (void)p1.cls();
    testing::drawRandomShapes(p1, 11, 600);
    (void)p1.setDrawStyle(kDrawStyleDashDot);
    for (int k = 0; k < 8; ++k) {
      const float x = 40.0f * static_cast<float>(k), r = 40050.0f + 13.0f * static_cast<float>(k);
      if (k % 2 == 0) (void)p1.circle(x, -40000, r, kGreen);
      else (void)p1.arc(x, 40200, r, kGreen, 4.0f, 5.6f);
    }
  };
  const PixelWindow windows[] = {
      {0, 0, kW, kH}, {37, 0, 100, 50}, {250, 150, 50, 50}, {1, 199, 299, 1}, {120, 60, 7, 90}};
  for (const DevicePen pen : {penFor(1, 96), penFor(1, 192), penFor(2.5, 96), penFor(7, 96)}) {
    RasterSurface whole;
    ASSERT_TRUE(whole.setPixelSize(kW, kH));
    draw(whole, pen);
    const PixelBuffer& all = whole.picture();
    for (const PixelWindow& w : windows) {
      RasterSurface part;
      ASSERT_TRUE(part.setPixelWindow(kW, kH, w));
      part.raster().setBandRows(16);
      draw(part, pen);
      const PixelBuffer& cut = part.picture();
      ASSERT_EQ(cut.width(), w.width);
      ASSERT_EQ(cut.height(), w.height);
      int differing = 0;
      for (int y = 0; y < w.height; ++y)
        for (int x = 0; x < w.width; ++x) differing += cut.at(x, y) != all.at(x + w.left, y + w.top);
      EXPECT_EQ(differing, 0) << "pen " << pen.width << ", window at " << w.left << ", " << w.top;
    }
  }
}

}  // namespace
}  // namespace trazo
