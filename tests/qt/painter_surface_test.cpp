// P1's coordinate system and its robustness against coordinates no window could show.
#include "shells/qt/painter_surface.hpp"
#include "tests/qt/image_probe.hpp"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace trazo::qt {
namespace {

using testing::colourNear;

constexpr Rgb kGreen{0, 255, 0};
const QColor kGreenColour(0, 255, 0);

TEST(PainterSurfaceScale, ScaleMapsTheInnerCornersExactly) {
  PainterSurface p1;
  p1.setDevice(1200, 600, 96, 96);
  ASSERT_EQ(p1.setScale(-10, 55, 110, -5), status::ok);
  EXPECT_EQ(p1.toDevice(-10, 55), QPointF(0, 0));
  EXPECT_EQ(p1.toDevice(110, -5), QPointF(1200, 600));
  EXPECT_EQ(p1.toDevice(50, 25), QPointF(600, 300));
  EXPECT_EQ(p1.fromDevice(QPointF(600, 300)), QPointF(50, 25));
  float w = 0, h = 0;
  (void)p1.scaleWidth(w);
  (void)p1.scaleHeight(h);
  EXPECT_EQ(w, 120.0f);
  EXPECT_EQ(h, -60.0f);
}

TEST(PainterSurfaceScale, ScaleModeOneIsTwipsOfTheDevicesLogicalInch) {
  PainterSurface p1;
  p1.setDevice(1200, 600, 96, 96);
  (void)p1.setScale(0, 1, 1, 0);
  ASSERT_EQ(p1.setScaleMode(1), status::ok);  // drops the user system
  float w = 0, h = 0;
  (void)p1.scaleWidth(w);
  (void)p1.scaleHeight(h);
  EXPECT_EQ(w, 18000.0f);  // 1200 pixels at 96 to the inch, 15 twips each
  EXPECT_EQ(h, 9000.0f);
  EXPECT_EQ(p1.toDevice(150, 300), QPointF(10, 20));
  p1.setDevice(1200, 600, 120, 120);
  (void)p1.scaleWidth(w);
  EXPECT_EQ(w, 14400.0f);
  EXPECT_NE(p1.setScaleMode(3), status::ok);
}

// Every call below must come back at once with success, whatever it draws.
class PainterSurfaceExtremes : public ::testing::Test {
 protected:
  PainterSurfaceExtremes() : image(500, 500, QImage::Format_RGB32) {
    image.fill(Qt::black);
    p1.setDevice(500, 500, 96, 96);
    painter.begin(&image);
    p1.begin(painter);
    (void)p1.setScale(0, 10, 10, 0);  // 50 pixels to the unit, Y up
  }
  QImage finish() {
    p1.end();
    painter.end();
    return image;
  }
  QImage image;
  QPainter painter;
  PainterSurface p1;
};

TEST_F(PainterSurfaceExtremes, HugeCoordinatesAreClippedNotLost) {
  EXPECT_EQ(p1.line(-1e30f, 5, 1e30f, 5, kGreen), status::ok);
  EXPECT_EQ(p1.line(2, -3e38f, 2, 3e38f, kGreen), status::ok);
  // A circle a million units wide whose top passes through (5, 8).
  EXPECT_EQ(p1.circle(5, 8 - 1e6f, 1e6f, kGreen), status::ok);
  EXPECT_EQ(p1.arc(5, 8 - 1e6f, 1e6f, kGreen, 1.0f, 2.0f), status::ok);
  const QImage out = finish();
  EXPECT_TRUE(colourNear(out, 250, 250, kGreenColour));
  EXPECT_TRUE(colourNear(out, 5, 250, kGreenColour));
  EXPECT_TRUE(colourNear(out, 100, 400, kGreenColour));
  EXPECT_TRUE(colourNear(out, 250, 100, kGreenColour));
  EXPECT_TRUE(colourNear(out, 10, 100, kGreenColour, 2));
}

TEST_F(PainterSurfaceExtremes, NonFiniteAndEnormousShapesDrawNothing) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(p1.line(nan, 5, 5, 5, kGreen), status::ok);
  EXPECT_EQ(p1.line(0, inf, 5, 5, kGreen), status::ok);
  EXPECT_EQ(p1.circle(5, 5, inf, kGreen), status::ok);
  EXPECT_EQ(p1.circle(5, 5, 3e38f, kGreen), status::ok);  // encloses the picture
  EXPECT_EQ(p1.circle(3e38f, 5, 1, kGreen), status::ok);  // far outside it
  EXPECT_EQ(p1.arc(5, 5, 2, kGreen, nan, 1), status::ok);
  EXPECT_EQ(p1.arc(5, 5, 2, kGreen, 1e30f, -1e30f), status::ok);
  EXPECT_EQ(p1.setScale(0, 0, 0, 0), status::ok);  // a user system of no extent
  EXPECT_EQ(p1.line(1, 1, 2, 2, kGreen), status::ok);
  const QImage out = finish();
  // Only the last-but-two arc (huge angles taken modulo a turn) may have drawn anything.
  int ink = 0;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if (out.pixelColor(x, y) != QColor(Qt::black) &&
          std::hypot(x - 250.0, y - 250.0) > 110) ++ink;
  EXPECT_EQ(ink, 0);
}

TEST(PainterSurfaceOutsideAPaint, DrawsNothingAndAsksForARepaint) {
  PainterSurface p1;
  p1.setDevice(100, 100, 96, 96);
  int requests = 0;
  p1.setRepaintRequest([&] { ++requests; });
  EXPECT_EQ(p1.cls(), status::ok);
  EXPECT_EQ(p1.line(0, 0, 10, 10, kGreen), status::ok);
  EXPECT_EQ(p1.circle(0, 0, 10, kGreen), status::ok);
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(p1.setScale(0, 1, 1, 0), status::ok);  // the coordinate system still follows
  EXPECT_EQ(p1.toDevice(1, 0), QPointF(100, 100));
}

}  // namespace
}  // namespace trazo::qt
