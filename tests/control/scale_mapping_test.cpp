// The coordinate system every picture keeps: twips, then the user system of Scale.
#include "picture/scale_mapping.hpp"

#include <gtest/gtest.h>

namespace trazo {
namespace {

TEST(ScaleMapping, TwipsUntilAUserSystemIsSet) {
  ScaleMapping m;
  m.setInnerSize(4000, 2000);
  EXPECT_EQ(m.scaleWidth(), 4000);
  EXPECT_EQ(m.scaleHeight(), 2000);
  double x = 0, y = 0;
  m.fromTwips(150, 60, x, y);
  EXPECT_EQ(x, 150);
  EXPECT_EQ(y, 60);
}

TEST(ScaleMapping, UserSystemMapsTheCornersWithYUp) {
  ScaleMapping m;
  m.setInnerSize(4000, 2000);
  m.setScale(-1, 5.5, 11, -0.5);
  EXPECT_EQ(m.scaleWidth(), 12);
  EXPECT_EQ(m.scaleHeight(), -6);
  double x = 0, y = 0;
  m.fromTwips(0, 0, x, y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, 5.5);
  m.fromTwips(4000, 2000, x, y);
  EXPECT_EQ(x, 11);
  EXPECT_EQ(y, -0.5);
  double tx = 0, ty = 0;
  m.toTwips(3, 7, tx, ty);
  m.fromTwips(tx, ty, x, y);
  EXPECT_DOUBLE_EQ(x, 3);
  EXPECT_DOUBLE_EQ(y, 7);
}

TEST(ScaleMapping, TwipsModeDropsTheUserSystemAndOtherModesAreRefused) {
  ScaleMapping m;
  m.setInnerSize(4000, 2000);
  m.setScale(0, 1, 1, 0);
  EXPECT_EQ(m.setScaleMode(1), status::ok);
  EXPECT_EQ(m.scaleWidth(), 4000);
  EXPECT_EQ(m.setScaleMode(3), status::invalidCall);
}

}  // namespace
}  // namespace trazo
