// Automation's standard coercion of arguments, as the platform's VariantChangeType does it
// in the US English locale (the Wine suite holds the two side by side): numbers to Long
// round half to even and overflow outside 32 bits, strings read with signs, parentheses,
// separators, a currency sign and "&H" numbers, numbers and dates become text.
#include "automation/variant.hpp"
#include "tests/support/value_object.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace trazo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::int32_t toLong(const Variant& v, Status expected = status::ok) {
  Variant out;
  EXPECT_EQ(coerce(v, VarType::Long, out), expected);
  return expected == status::ok ? std::get<std::int32_t>(out) : 0;
}

std::u16string toText(const Variant& v, Status expected = status::ok) {
  Variant out;
  EXPECT_EQ(coerce(v, VarType::String, out), expected);
  return expected == status::ok ? std::get<std::u16string>(out) : u"(refused)";
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
  EXPECT_EQ(toLong(Date{45000.5}), 45000);
}

TEST(Coercion, LongRangeEndsAtThirtyTwoBits) {
  EXPECT_EQ(toLong(2147483647.0), 2147483647);
  EXPECT_EQ(toLong(2147483647.4), 2147483647);
  EXPECT_EQ(toLong(-2147483648.5), INT32_MIN);  // rounds to the even -2147483648
  toLong(2147483647.5, status::dispOverflow);   // rounds to 2147483648
  toLong(-2147483649.0, status::dispOverflow);
  toLong(kInf, status::dispOverflow);
  toLong(Date{1e300}, status::dispOverflow);
  // The platform lets NaN through, as the largest Long.
  EXPECT_EQ(toLong(kNaN), INT32_MAX);
  EXPECT_EQ(toLong(std::numeric_limits<float>::quiet_NaN()), INT32_MAX);
}

TEST(Coercion, StringsReadAsThePlatformReadsThem) {
  constexpr Status ok = status::ok, mismatch = status::typeMismatch, overflow = status::dispOverflow;
  struct Case {
    std::u16string text;
    Status asDouble;
    double value;
    Status asLong;
    std::int32_t integer;
  };
  const Case cases[] = {
      {u" -2.5E+2 ", ok, -250, ok, -250},
      {u".5", ok, 0.5, ok, 0},
      {u"5.", ok, 5, ok, 5},
      {u"6.5", ok, 6.5, ok, 6},
      {u"\u3000\u00A0"
       u"7\u2028",
       ok, 7, ok, 7},            // any Unicode white space
      {u"1,5", ok, 15, ok, 15},  // ',' separates thousands, anywhere
      {u"123,456,789.25", ok, 123456789.25, ok, 123456789},
      {u"1.5,5", ok, 1.55, ok, 2},
      {u"5-", ok, -5, ok, -5},  // signs before or after
      {u"+-5", ok, -5, ok, -5},
      {u"(5)", ok, -5, ok, -5},  // parentheses are a minus
      {u"( -5 ) ", ok, -5, ok, -5},
      {u"$1,000.50", ok, 1000.5, ok, 1000},
      {u"1.5e3$", ok, 1500, ok, 1500},
      {u"1e-400", ok, 0, ok, 0},
      {u"-0", ok, -0.0, ok, 0},
      {std::u16string(u"12\0"
                      u"junk",
                      7),
       ok, 12, ok, 12},  // the text ends at a NUL
      {u"0000000000000000000000000000000000000000000000000000000001", ok, 1, ok, 1},
      {u"&HFFFF", ok, 65535, ok, 65535},  // "&H" and "&O" numbers
      {u"&h7FFFFFFF", ok, 2147483647, ok, 2147483647},
      {u"&H80000000", ok, -2147483648.0, ok, INT32_MIN},
      {u"&HFFFFFFFF", overflow, 0, ok, -1},
      {u"&H100000000", overflow, 0, overflow, 0},
      {u"-&H10", ok, 16, ok, 16},  // the signs change nothing there
      {u"&O777", ok, 511, ok, 511},
      {u"&H1e5", ok, 485, ok, 485},
      {u"1e400", overflow, 0, overflow, 0},
      {u"2147483648", ok, 2147483648.0, overflow, 0},
      {u"2147483647.5", ok, 2147483647.5, overflow, 0},
      {u"-2147483648.5", ok, -2147483648.5, ok, INT32_MIN},
      {u"", mismatch, 0, mismatch, 0},
      {u" ", mismatch, 0, mismatch, 0},
      {u"abc", mismatch, 0, mismatch, 0},
      {u"NaN", mismatch, 0, mismatch, 0},
      {u"Infinity", mismatch, 0, mismatch, 0},
      {u",5", mismatch, 0, mismatch, 0},
      {u"1 2", mismatch, 0, mismatch, 0},
      {u"--5", mismatch, 0, mismatch, 0},
      {u"-5-", mismatch, 0, mismatch, 0},
      {u"(5", mismatch, 0, mismatch, 0},
      {u"5)", mismatch, 0, mismatch, 0},
      {u"$$5", mismatch, 0, mismatch, 0},
      {u"$1e5", mismatch, 0, mismatch, 0},  // no exponent after a currency sign
      {u"1e", mismatch, 0, mismatch, 0},
      {u"1.5.5", mismatch, 0, mismatch, 0},
      {u"0x10", mismatch, 0, mismatch, 0},
      {u"&H", mismatch, 0, mismatch, 0},
      {u"&O8", mismatch, 0, mismatch, 0},
      {u"$&H10", mismatch, 0, mismatch, 0},
      {u"\u0661", mismatch, 0, mismatch, 0},  // only ASCII digits
      {u"\u200B"
       u"3",
       mismatch, 0, mismatch, 0},  // a zero-width space is no white space
      {u"\xD800", mismatch, 0, mismatch, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    double d = 99;
    std::int32_t i = 99;
    ASSERT_EQ(doubleFromText(c.text, d), c.asDouble);
    if (c.asDouble == ok) {
      EXPECT_EQ(d, c.value);
      EXPECT_EQ(std::signbit(d), std::signbit(c.value));
    }
    ASSERT_EQ(longFromText(c.text, i), c.asLong);
    if (c.asLong == ok) {
      EXPECT_EQ(i, c.integer);
    }
  }
}

TEST(Coercion, NumbersAndDatesBecomeTextAsAutomationWritesThem) {
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
  EXPECT_EQ(toText(0.1f), u"0.1");  // a Single has 7 digits
  EXPECT_EQ(toText(1e-45f), u"1.401298E-45");
  EXPECT_EQ(toText(true), u"-1");  // Booleans as numbers
  EXPECT_EQ(toText(false), u"0");
  EXPECT_EQ(toText(Variant{}), u"");
  EXPECT_EQ(toText(Date{0}), u"12:00:00 AM");    // the time alone on day 0
  EXPECT_EQ(toText(Date{45000}), u"3/15/2023");  // the date alone at midnight
  EXPECT_EQ(toText(Date{45000.5}), u"3/15/2023 12:00:00 PM");
  EXPECT_EQ(toText(Date{-1.25}), u"12/29/1899 6:00:00 AM");
  EXPECT_EQ(toText(Date{0.1234567}), u"2:57:47 AM");
  EXPECT_EQ(toText(Date{-657434}), u"1/1/100");
  EXPECT_EQ(toText(Date{2958465.9999999991}), u"1/1/10000 12:00:00 AM");  // rounds to the next midnight
  toText(Date{2958466}, status::invalidArgument);                         // beyond 31 December 9999
  toText(Date{-657435}, status::invalidArgument);                         // before 1 January 100
  toText(Date{kInf}, status::invalidArgument);
}

TEST(Coercion, NullArraysAndObjects) {
  using testing::ValueObject;
  const ValueObject half(2.5), hex(std::u16string(u"&H10")), none(Variant{}, status::memberNotFound), nested(&half);
  const struct {
    const char* what;
    Variant value;
    Status status;
    double asDouble;
  } cases[] = {
      {"Null", Null{}, status::typeMismatch, 0},
      {"an array", Array{}, status::typeMismatch, 0},
      {"Nothing", static_cast<const AutomationObject*>(nullptr), status::badVarType, 0},
      {"an object without a value", &none, status::typeMismatch, 0},
      {"an object whose value is an object", &nested, status::typeMismatch, 0},
      {"an object with a number", &half, status::ok, 2.5},
      {"an object with a text", &hex, status::ok, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const VarType to : {VarType::Double, VarType::Long, VarType::String}) {
      Variant out;
      EXPECT_EQ(coerce(c.value, to, out), c.status);
      if (c.status == status::ok && to == VarType::Double) {
        EXPECT_EQ(std::get<double>(out), c.asDouble);
      }
    }
  }
  EXPECT_EQ(toText(&half), u"2.5");
  EXPECT_EQ(toLong(&half), 2);
}

TEST(Coercion, OnlyTheInterfaceTypesAreTargets) {
  Variant out;
  EXPECT_EQ(coerce(Variant{1.0}, VarType::Boolean, out), status::typeMismatch);
}

}  // namespace
}  // namespace trazo
