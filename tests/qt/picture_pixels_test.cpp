// What Reflash puts on a raster image, checked at computed pixels.
//
// Most cases frame the drawing with a box from (0, 0) to (100, 50) and render it into
// 1200 x 600 pixels: the drawing and the picture are both twice as wide as high, so the
// view is fitted to the width, 120 x 60 units from (-10, 55) to (110, -5): 10 pixels to
// the unit, device x = (x + 10) * 10 and device y = (55 - y) * 10.
#include "control/trazo.hpp"
#include "shells/qt/picture_painting.hpp"
#include "tests/qt/image_probe.hpp"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace trazo::qt {
namespace {

using testing::colourNear;
using testing::inkOutside;
using testing::runsAlongRow;

constexpr double kPi = std::numbers::pi;
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);

double px(double x) { return (x + 10) * 10; }
double py(double y) { return (55 - y) * 10; }

class PicturePixels : public ::testing::Test {
 protected:
  PicturePixels() {
    (void)control.onInitialize();
    (void)control.AddBox(0, 0, 100, 50, 4, 0, u"");
  }
  QImage render(const PictureOptions& options = {}) { return renderImage(control, QSize(1200, 600), options); }
  // Whether the outline of the circle (cx, cy, r) is drawn at angle a, in drawing units.
  static bool onCircle(const QImage& image, double cx, double cy, double r, double a, QColor colour) {
    return colourNear(image, px(cx + r * std::cos(a)), py(cy + r * std::sin(a)), colour);
  }
  // The row where a horizontal line at drawing height y came out.
  static int rowOf(const QImage& image, double y, QColor colour) {
    for (int row = static_cast<int>(py(y)) - 1; row <= static_cast<int>(py(y)) + 1; ++row) {
      for (int x = static_cast<int>(px(40)); x < static_cast<int>(px(60)); ++x)
        if (image.pixelColor(x, row) == colour) return row;
    }
    return -1;
  }
  Trazo control;
};

TEST_F(PicturePixels, LinesLandOnTheirFittedPixelsInTheirColour) {
  (void)control.AddLine(10, 25, 90, 25, 3, 0, u"");
  (void)control.AddLine(20, 5, 80, 45, 5, 0, u"");
  (void)control.AddLine(5, 45, 5, 45, 6, 0, u"");  // zero length: still a dot
  const QImage image = render();
  for (double t = 0; t <= 1.0; t += 0.125) {
    EXPECT_TRUE(colourNear(image, px(10 + 80 * t), py(25), kGreen)) << t;
    EXPECT_TRUE(colourNear(image, px(20 + 60 * t), py(5 + 40 * t), kBlue)) << t;
  }
  EXPECT_TRUE(colourNear(image, px(5), py(45), kMagenta));
  EXPECT_TRUE(colourNear(image, px(0), py(10), QColor(0, 255, 255)));  // the frame, light cyan
  EXPECT_FALSE(colourNear(image, px(50), py(30), kGreen, 3));
  EXPECT_EQ(image.pixelColor(static_cast<int>(px(50)), static_cast<int>(py(15))), kBlack);
}

TEST_F(PicturePixels, CircleOutlineIsRoundAndHollow) {
  (void)control.AddCircle(50, 25, 20, 6, 0, u"");
  const QImage image = render();
  for (int step = 0; step < 24; ++step) {
    const double a = step * kPi / 12;
    EXPECT_TRUE(onCircle(image, 50, 25, 20, a, kMagenta)) << a;
    EXPECT_FALSE(onCircle(image, 50, 25, 15, a, kMagenta)) << a;
    EXPECT_FALSE(onCircle(image, 50, 25, 24, a, kMagenta)) << a;
  }
}

TEST_F(PicturePixels, ArcsRunCounterClockwiseFromStartToEndWithYUp) {
  (void)control.AddCircle2(25, 25, 15, 0, 1.5707963, 2, 0, u"");          // upper right quarter
  (void)control.AddCircle2(75, 25, 15, 3 * kPi / 2, kPi / 2, 1, 0, u"");  // right half, across +X
  const QImage image = render();
  for (const double a : {0.1, 0.5, 0.8, 1.2, 1.45}) EXPECT_TRUE(onCircle(image, 25, 25, 15, a, kYellow)) << a;
  for (const double a : {1.9, 2.5, 3.2, 4.0, 4.8, 5.5, 6.1}) EXPECT_FALSE(onCircle(image, 25, 25, 15, a, kYellow)) << a;
  for (const double a : {-1.4, -0.7, 0.0, 0.7, 1.4}) EXPECT_TRUE(onCircle(image, 75, 25, 15, a, kRed)) << a;
  for (const double a : {1.8, 2.6, 3.14, 3.7, 4.5}) EXPECT_FALSE(onCircle(image, 75, 25, 15, a, kRed)) << a;
}

TEST_F(PicturePixels, NegativeAnglesAddRadiusLinesAndTurnsWrap) {
  // From the top (a negative start: with a radius line) to the left (no line).
  (void)control.AddCircle2(25, 25, 15, -kPi / 2, kPi, 3, 0, u"");
  // A quarter given one turn too far: the upper right quarter.
  (void)control.AddCircle2(75, 25, 15, 2 * kPi, 2 * kPi + kPi / 2, 5, 0, u"");
  const QImage image = render();
  EXPECT_TRUE(onCircle(image, 25, 25, 15, 3 * kPi / 4, kGreen));
  EXPECT_FALSE(onCircle(image, 25, 25, 15, 7 * kPi / 4, kGreen));
  EXPECT_TRUE(colourNear(image, px(25), py(25 + 7.5), kGreen));   // radius line to the start
  EXPECT_FALSE(colourNear(image, px(25 - 7.5), py(25), kGreen));  // none to the end
  EXPECT_TRUE(onCircle(image, 75, 25, 15, kPi / 4, kBlue));
  EXPECT_FALSE(onCircle(image, 75, 25, 15, 5 * kPi / 4, kBlue));
}

TEST_F(PicturePixels, DashStylesInterruptLinesWithClassicLengths) {
  struct Case {
    std::int32_t lineType;
    std::vector<int> pattern;  // on, off, ... in pixels
  };
  const Case cases[] = {{1, {18, 6}}, {2, {9, 6, 3, 6}}, {3, {9, 3, 3, 3, 3, 3}}};
  for (const Case& c : cases) {
    Trazo dashed;
    (void)dashed.onInitialize();
    (void)dashed.AddBox(0, 0, 100, 50, 4, 0, u"");
    (void)dashed.AddLine(10, 25, 90, 25, 3, c.lineType, u"");
    const QImage image = renderImage(dashed, QSize(1200, 600), {});
    const int row = rowOf(image, 25, kGreen);
    ASSERT_GE(row, 0) << c.lineType;
    const std::vector<int> runs = runsAlongRow(image, row, static_cast<int>(px(10)), static_cast<int>(px(90)), kGreen);
    ASSERT_GT(runs.size(), 20u) << c.lineType;
    // The last dash may be cut short by the end of the line.
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
      EXPECT_NEAR(runs[i], c.pattern[i % c.pattern.size()], 1) << "line type " << c.lineType << ", run " << i;
    }
  }
}

TEST_F(PicturePixels, ALineAfterADashedEntityIsSolidAgain) {
  (void)control.AddCircle(50, 25, 10, 1, 1, u"");    // dashed
  (void)control.AddLine(10, 45, 90, 45, 3, 0, u"");  // line type 0 keeps the style in effect
  (void)control.AddLine(10, 40, 90, 40, 3, 7, u"");  // so does an unknown one
  const QImage image = render();
  for (const double y : {45.0, 40.0}) {
    const int row = rowOf(image, y, kGreen);
    ASSERT_GE(row, 0);
    const auto runs = runsAlongRow(image, row, static_cast<int>(px(10)), static_cast<int>(px(90)), kGreen);
    ASSERT_EQ(runs.size(), 1u) << y;
    EXPECT_NEAR(runs[0], 801, 1);
  }
}

TEST_F(PicturePixels, NothingIsDrawnOutsideTheFittedDrawing) {
  (void)control.AddCircle(50, 25, 25, 2, 1, u"");
  (void)control.AddCircle2(20, 20, 20, 2, 6, 3, 2, u"");
  (void)control.AddLine(100, 0, 0, 50, 5, 3, u"");
  (void)control.AddText(60, 5, 10, 30, 6, u"Trazo", u"");
  const QImage image = render();
  EXPECT_EQ(inkOutside(image, static_cast<int>(px(0)) - 1, static_cast<int>(py(50)) - 1, static_cast<int>(px(100)) + 1,
                       static_cast<int>(py(0)) + 1, kBlack),
            0);
  EXPECT_TRUE(colourNear(image, px(80), py(0), QColor(0, 255, 255)));
}

TEST_F(PicturePixels, ClsPaintsTheHostsBackground) {
  const QColor darkBlue(0, 0, 64);
  PictureOptions options;
  options.background = darkBlue;
  const QImage image = render(options);
  EXPECT_EQ(image.pixelColor(0, 0), darkBlue);
  EXPECT_EQ(image.pixelColor(1199, 599), darkBlue);
  EXPECT_EQ(render().pixelColor(600, 300), kBlack);
}

TEST_F(PicturePixels, AntialiasingIsAHostOption) {
  (void)control.AddLine(0, 0, 100, 37, 3, 0, u"");
  const auto blended = [](const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c != kBlack && c != kGreen && c != QColor(0, 255, 255)) ++count;
      }
    return count;
  };
  EXPECT_EQ(blended(render()), 0);
  PictureOptions smooth;
  smooth.antialias = true;
  EXPECT_GT(blended(render(smooth)), 100);
}

// The host's palette for light backgrounds: each of the six colours as its dark counterpart.
TEST_F(PicturePixels, TheLightPaletteDrawsEachColourDarker) {
  const QColor classic[] = {kRed, kYellow, kGreen, {0, 255, 255}, kBlue, kMagenta};
  const QColor dark[] = {{128, 0, 0}, {128, 128, 0}, {0, 128, 0}, {0, 128, 128}, {0, 0, 128}, {128, 0, 128}};
  for (int col = 1; col <= 6; ++col) (void)control.AddLine(10, 5 + 6 * col, 90, 5 + 6 * col, col, 0, u"");
  PictureOptions light;
  light.palette = Palette::light;
  light.background = Qt::white;
  const QImage image = render(light);
  for (int col = 1; col <= 6; ++col) {
    EXPECT_TRUE(colourNear(image, px(50), py(5 + 6 * col), dark[col - 1])) << col;
    EXPECT_EQ(rowOf(image, 5 + 6 * col, dark[col - 1]), rowOf(render(), 5 + 6 * col, classic[col - 1])) << col;
  }
  EXPECT_TRUE(colourNear(image, px(0), py(10), QColor(0, 128, 128)));  // the frame, col 4
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
}

// Wider pens and finer devices: the pen's width across a line, and dashes that grow with the
// pen or the device so that they keep their look. Device pixels of the raster at 96 dots to
// the inch, and of QPainter at a printer's 1200.
TEST_F(PicturePixels, LineWidthsAndDashesFollowThePenAndTheDevice) {
  struct Case {
    const char* what;
    LineWidth width;
    int dpi;        // 96: the raster picture; otherwise QPainter at that resolution
    int thickness;  // rows across a horizontal line
    int dash, gap;  // the first dash and gap of line type 1, in device pixels
  };
  const Case cases[] = {
      {"classic", {}, 96, 1, 18, 6},
      {"3 pixels", {3, LineWidth::Unit::devicePixels}, 96, 3, 54, 18},
      // 1 mm at 96 to the inch is 3.78 pixels; runs of 18 and 6 times that, rounded.
      {"1 mm", {1, LineWidth::Unit::millimetres}, 96, 4, 68, 23},
      // At 1200 dots to the inch a classic pixel is 12.5 device pixels: 225 and 75.
      {"printer, one pixel", {}, 1200, 1, 225, 75},
      // 0.35 mm at 1200 is 16.5 pixels, wider than 12.5: runs of 297 and 99.
      {"printer, 0.35 mm", {0.35, LineWidth::Unit::millimetres}, 1200, 17, 297, 99},
  };
  for (const Case& c : cases) {
    Trazo t;
    (void)t.onInitialize();
    (void)t.AddBox(0, 0, 100, 50, 4, 0, u"");
    (void)t.AddLine(10, 25, 90, 25, 3, 1, u"");
    PictureOptions options;
    options.lineWidth = c.width;
    QImage image;
    if (c.dpi == 96) {
      image = renderImage(t, QSize(1200, 600), options);
    } else {
      image = QImage(1200, 600, QImage::Format_RGB32);
      image.setDotsPerMeterX(static_cast<int>(std::lround(c.dpi / 0.0254)));
      image.setDotsPerMeterY(static_cast<int>(std::lround(c.dpi / 0.0254)));
      ASSERT_EQ(paintPicture(t, image, options), status::ok) << c.what;
    }
    int thickness = 0;
    for (int y = 250; y < 350; ++y) thickness += image.pixelColor(static_cast<int>(px(10)) + 3, y) == kGreen;
    EXPECT_NEAR(thickness, c.thickness, 1) << c.what;
    const int row = rowOf(image, 25, kGreen);
    ASSERT_GE(row, 0) << c.what;
    const auto runs = runsAlongRow(image, row, static_cast<int>(px(10)) - 20, static_cast<int>(px(90)), kGreen);
    ASSERT_GE(runs.size(), 2u) << c.what;
    // A square end adds half the width before the first dash of a wide pen.
    EXPECT_NEAR(runs[0], c.dash, 2) << c.what;
    EXPECT_NEAR(runs[1], c.gap, 2) << c.what;
  }
}

// Texts the host asks for: ink inside each text's box, in the entity's colour, and none
// there otherwise. Glyphs differ between machines, so only the ink inside the box counts.
TEST_F(PicturePixels, TextsAreDrawnInTheirBoxesOnlyWhenAsked) {
  // "Trazo" 10 high: a box 25 x 10 at (20, 20), and one at 90 degrees at (80, 5).
  (void)control.AddText(20, 20, 10, 0, 3, u"Trazo", u"");
  (void)control.AddText(80, 5, 10, 90, 5, u"Trazo", u"");
  const auto inkInside = [](const QImage& image, double left, double bottom, double right, double top, QColor colour,
                            bool exact) {
    int ink = 0;
    for (int y = static_cast<int>(py(top)) + 3; y < static_cast<int>(py(bottom)) - 2; ++y)
      for (int x = static_cast<int>(px(left)) + 3; x < static_cast<int>(px(right)) - 2; ++x) {
        const QColor c = image.pixelColor(x, y);
        ink += exact ? c == colour : c != kBlack;
      }
    return ink;
  };
  PictureOptions texts;
  texts.texts = true;
  PictureOptions smooth = texts;
  smooth.antialias = true;
  for (const PictureOptions& options : {texts, smooth}) {
    const QImage image = render(options);
    const bool exact = !options.antialias;
    EXPECT_GT(inkInside(image, 20, 20, 45, 30, kGreen, exact), 500) << options.antialias;
    EXPECT_GT(inkInside(image, 70, 5, 80, 30, kBlue, exact), 500) << options.antialias;
    EXPECT_EQ(inkOutside(image, static_cast<int>(px(0)) - 1, static_cast<int>(py(50)) - 1,
                         static_cast<int>(px(100)) + 1, static_cast<int>(py(0)) + 1, kBlack),
              0);
  }
  EXPECT_EQ(inkInside(render(), 20, 20, 45, 30, kGreen, false), 0);  // the boxes alone
}

TEST_F(PicturePixels, InfiniteCoordinatesLeaveTheRestOfTheDrawingShown) {
  (void)control.AddLine(10, 25, 90, 25, 3, 0, u"");
  (void)control.AddLine(-INFINITY, 0, INFINITY, 0, 5, 0, u"");  // the extents have no centre
  PictureOptions options;
  options.background = QColor(0, 0, 64);
  Status s = status::ok;
  const QImage image = renderImage(control, QSize(1200, 600), options, &s);
  EXPECT_EQ(s, status::ok);
  EXPECT_GT(inkOutside(image, 0, 0, -1, -1, options.background), 500);  // the finite line
}

}  // namespace
}  // namespace trazo::qt
