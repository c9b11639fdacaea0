// Automation's standard coercion of arguments: numbers to Long round half to even and
// overflow outside 32 bits, strings parse as numbers, numbers become text.
#include "control/variant.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace trazo {
namespace {

std::int32_t toLong(const Variant& v, Status expected = status::ok) {
  Variant out;
  EXPECT_EQ(coerce(v, VarType::Long, out), expected);
  return expected == status::ok ? std::get<std::int32_t>(out) : 0;
}

std::u16string toText(const Variant& v) {
  Variant out;
  EXPECT_EQ(coerce(v, VarType::String, out), status::ok);
  return std::get<std::u16string>(out);
}

TEST(Coercion, NumberToLongRoundsHalfToEven) {
  EXPECT_EQ(toLong(2.5), 2);
  EXPECT_EQ(toLong(3.5), 4);
  EXPECT_EQ(toLong(-2.5), -2);
  EXPECT_EQ(toLong(-3.5), -4);
  EXPECT_EQ(toLong(2.4999999), 2);
  EXPECT_EQ(toLong(0.5), 0);
  EXPECT_EQ(toLong(1.5), 2);
  EXPECT_EQ(toLong(float{6.5f}), 6);
  EXPECT_EQ(toLong(std::int16_t{-7}), -7);
  EXPECT_EQ(toLong(true), -1);
  EXPECT_EQ(toLong(Variant{}), 0);
}

TEST(Coercion, LongRangeEndsAtThirtyTwoBits) {
  EXPECT_EQ(toLong(2147483647.0), 2147483647);
  EXPECT_EQ(toLong(2147483647.4), 2147483647);
  EXPECT_EQ(toLong(-2147483648.5), INT32_MIN);  // rounds to the even -2147483648
  toLong(2147483647.5, status::dispOverflow);   // rounds to 2147483648
  toLong(-2147483649.0, status::dispOverflow);
  toLong(std::numeric_limits<double>::infinity(), status::dispOverflow);
  toLong(std::numeric_limits<double>::quiet_NaN(), status::dispOverflow);
}

TEST(Coercion, StringsParseAsNumbers) {
  Variant out;
  ASSERT_EQ(coerce(Variant{std::u16string(u" -2.5E+2 ")}, VarType::Double, out), status::ok);
  EXPECT_EQ(std::get<double>(out), -250);
  ASSERT_EQ(coerce(Variant{std::u16string(u".5")}, VarType::Double, out), status::ok);
  EXPECT_EQ(std::get<double>(out), 0.5);
  EXPECT_EQ(toLong(std::u16string(u"6.5")), 6);
  for (const char16_t* bad : {u"", u"abc", u"1,5", u"1e", u"--1", u"1 2", u"0x10", u"\u0661"}) {
    EXPECT_EQ(coerce(Variant{std::u16string(bad)}, VarType::Double, out), status::typeMismatch)
        << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
  EXPECT_EQ(coerce(Variant{std::u16string(u"1e400")}, VarType::Double, out), status::dispOverflow);
  ASSERT_EQ(coerce(Variant{std::u16string(u"1e-400")}, VarType::Double, out), status::ok);
  EXPECT_EQ(std::get<double>(out), 0);
}

TEST(Coercion, NumbersBecomeTextAsAutomationWritesThem) {
  EXPECT_EQ(toText(7.0), u"7");
  EXPECT_EQ(toText(-2.5), u"-2.5");
  EXPECT_EQ(toText(0.1), u"0.1");
  EXPECT_EQ(toText(1e300), u"1E+300");
  EXPECT_EQ(toText(1e15), u"1E+15");
  EXPECT_EQ(toText(123456789012345.0), u"123456789012345");
  EXPECT_EQ(toText(0.0001), u"0.0001");
  EXPECT_EQ(toText(0.00001), u"1E-05");
  EXPECT_EQ(toText(1.0 / 3), u"0.333333333333333");
  EXPECT_EQ(toText(std::int32_t{-12}), u"-12");
  EXPECT_EQ(toText(true), u"True");
  EXPECT_EQ(toText(Variant{}), u"");
}

TEST(Coercion, OnlyTheInterfaceTypesAreTargets) {
  Variant out;
  EXPECT_EQ(coerce(Variant{1.0}, VarType::Boolean, out), status::typeMismatch);
}

}  // namespace
}  // namespace trazo
