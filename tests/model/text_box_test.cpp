// The text box numbers and the single-byte test that picks its width factor.
#include "model/single_byte_text.hpp"
#include "model/text_box.hpp"
#include "model/trigonometry.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace trazo {
namespace {

TEST(TextBox, SingleByteTextOfThreeCharacters) {
  TextBox box{};
  ASSERT_TRUE(computeTextBox(0, 0, 10, 0, u"ABC", box));
  const double epsilon = 10 * std::cos(90 * kDegreesToRadians);
  EXPECT_GT(epsilon, 1e-14);  // 90 k falls short of pi/2, so the box is not quite upright
  EXPECT_EQ(box.X1, 15);
  EXPECT_EQ(box.Y1, 0);
  EXPECT_EQ(box.X2, 15.000000000000016);
  EXPECT_EQ(box.Y2, 10);
  EXPECT_EQ(box.X3, epsilon);
  EXPECT_EQ(box.Y3, 10);
  EXPECT_EQ(box.X4, 0);
  EXPECT_EQ(box.Y4, 0);
}

TEST(TextBox, OneDoubleByteCharacterWidensEveryCharacter) {
  TextBox box{};
  ASSERT_TRUE(computeTextBox(0, 0, 10, 0, u"A\u6F22B", box));  // A, a kanji, B
  EXPECT_EQ(box.X1, 24.599999999999998);                       // (3 x 10) x 0.82
}

TEST(TextBox, EmptyTextAndZeroHeightCollapse) {
  TextBox box{};
  ASSERT_TRUE(computeTextBox(3, 4, 10, 0, u"", box));
  EXPECT_EQ(box.X1, 3);
  EXPECT_EQ(box.Y1, 4);
  EXPECT_EQ(box.X2, box.X3);
  EXPECT_EQ(box.Y2, box.Y3);
  ASSERT_TRUE(computeTextBox(3, 4, 0, 45, u"ABC", box));
  for (const double x : {box.X1, box.X2, box.X3, box.X4}) EXPECT_EQ(x, 3);
  for (const double y : {box.Y1, box.Y2, box.Y3, box.Y4}) EXPECT_EQ(y, 4);
}

TEST(TextBox, DegreesToRadiansIsTheQuotientNotTheNearestDouble) {
  EXPECT_EQ(kDegreesToRadians, 3.14159265358979 / 180);
  EXPECT_NE(kDegreesToRadians, 0.017453292519943295);
}

TEST(TextBox, OverflowAndInvalidAnglesFail) {
  TextBox box{};
  EXPECT_FALSE(computeTextBox(0, 0, 1e308, 0, u"ABCDEFGHIJ", box));  // the width overflows
  EXPECT_FALSE(computeTextBox(0, 0, 10, INFINITY, u"A", box));       // cos of infinity
  EXPECT_FALSE(computeTextBox(1e308, 0, 1e308, 0, u"AB", box));      // a corner overflows
  // A NaN that comes in goes out without failing.
  EXPECT_TRUE(computeTextBox(NAN, 0, 10, 0, u"A", box));
  EXPECT_TRUE(std::isnan(box.X1));
  // Underflow is no failure.
  EXPECT_TRUE(computeTextBox(0, 0, 1e-320, 0, u"A", box));
}

// The box takes cosine and sine of each angle together; they must be the very doubles each
// gives alone, or boxes and extents would move by a bit between systems. Every hundredth of
// a degree over two turns each way, as the box's two angles (Tang and Tang + 90).
TEST(TextBox, CosineAndSineTogetherAreTheDoublesOfEachAlone) {
  int differing = 0;
  for (int hundredths = -72000; hundredths <= 72000; ++hundredths) {
    for (const double degrees : {hundredths / 100.0, hundredths / 100.0 + kHeightDirection}) {
      const double radians = degrees * kDegreesToRadians;
      const CosineSine both = cosineSine(radians);
      if (both.cos != cosine(radians) || both.sin != sine(radians)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(SingleByteText, AsciiAndHalfWidthKatakanaAreSingleByte) {
  EXPECT_TRUE(IsSingleByteText(u""));
  EXPECT_TRUE(IsSingleByteText(u"Floor plan 1:50 \\ ~"));
  EXPECT_TRUE(IsSingleByteText(u"\uFF71\uFF72\uFF73"));  // half-width katakana
}

TEST(SingleByteText, KanjiKanaAndFullWidthFormsAreDoubleByte) {
  EXPECT_FALSE(IsSingleByteText(u"\u4F1A\u8B70\u5BA4"));  // kanji
  EXPECT_FALSE(IsSingleByteText(u"A\u3042"));             // hiragana after ASCII
  EXPECT_FALSE(IsSingleByteText(u"\uFF21"));              // full-width A
  EXPECT_EQ(codePageBytes(u'\u4F1A'), 2);
}

TEST(SingleByteText, WhatTheCodePageCannotHoldCountsAsOneByte) {
  EXPECT_TRUE(IsSingleByteText(u"\u00E9t\u00E9"));           // accented Latin letters
  EXPECT_TRUE(IsSingleByteText(u"\U0001F600"));              // a pair of surrogates
  EXPECT_TRUE(IsSingleByteText(std::u16string(1, 0xD800)));  // a lone surrogate
}

}  // namespace
}  // namespace trazo
