// Hostile calls through late binding: unknown ids, wrong kinds of call, wrong argument
// counts, bad named-argument lists and arguments that do not coerce. Each gets its dispatch
// error and reaches no member: the drawing stays bit for bit as it was.
#include "automation/late_binding.hpp"
#include "control/trazo.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace trazo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Args = std::vector<Variant>;
using Named = std::vector<NamedArgument>;

// Seven good arguments for AddLine or AddBox, with one replaced.
Args lineArgs(std::size_t index = 99, Variant value = {}) {
  Args a{0.0, 0.0, 10.0, 5.0, std::int32_t{3}, std::int32_t{2}, std::u16string(u"tag")};
  if (index < a.size()) a[index] = std::move(value);
  return a;
}

// The first `n` of them, to be completed by named arguments.
Args firstLineArgs(std::size_t n) {
  Args a = lineArgs();
  a.resize(n);
  return a;
}

struct BindingCase {
  const char* what;
  std::int32_t dispId;
  std::uint16_t flags;
  Args positional;
  Named named;
  Status expected;
  std::int32_t argError;  // -1 when no argument is to blame
};

TEST(HostileBinding, RefusedCallsChangeNothing) {
  constexpr std::uint16_t method = kInvokeMethod;
  const BindingCase cases[] = {
      {"an id between the interface's", 0x60030002, method, {}, {}, status::memberNotFound, -1},
      {"the event's id", dispid::MouseMove, method, {}, {}, status::memberNotFound, -1},
      {"DISPID_VALUE", 0, method | kInvokePropertyGet, {}, {}, status::memberNotFound, -1},
      {"DISPID_UNKNOWN", -1, method, {}, {}, status::memberNotFound, -1},
      {"the lowest id", INT32_MIN, method, {}, {}, status::memberNotFound, -1},
      {"no invoke flags", dispid::Clear, 0, {}, {}, status::memberNotFound, -1},
      {"a property put on a method", dispid::AddLine, kInvokePropertyPut, lineArgs(), {}, status::memberNotFound, -1},
      {"a put on read-only Count",
       dispid::Count,
       kInvokePropertyPut,
       {std::int32_t{5}},
       {},
       status::memberNotFound,
       -1},
      {"Count called as a method only", dispid::Count, method, {}, {}, status::memberNotFound, -1},
      {"a method called as a property get", dispid::Clear, kInvokePropertyGet, {}, {}, status::memberNotFound, -1},
      {"too few arguments", dispid::AddLine, method, Args{1.0, 2.0, 3.0}, {}, status::badParamCount, -1},
      {"too many arguments", dispid::AddCircle, method, lineArgs(), {}, status::badParamCount, -1},
      {"an argument to Clear", dispid::Clear, method, Args{1.0}, {}, status::badParamCount, -1},
      {"a named argument to Count", dispid::Count, kInvokePropertyGet, {}, Named{{0, 1.0}}, status::badParamCount, -1},
      {"a named index past the list", dispid::AddLine, method, firstLineArgs(6), Named{{7, u""}}, status::paramNotFound,
       7},
      {"a negative named index", dispid::AddLine, method, firstLineArgs(6), Named{{-1, u""}}, status::paramNotFound,
       -1},
      {"the lowest named index", dispid::AddLine, method, firstLineArgs(6), Named{{INT32_MIN, u""}},
       status::paramNotFound, INT32_MIN},
      {"a named argument given twice", dispid::AddLine, method, firstLineArgs(5), Named{{6, u""}, {6, u""}},
       status::paramNotFound, 6},
      {"a named argument that a positional one already gave", dispid::AddLine, method, firstLineArgs(6),
       Named{{0, 1.0}}, status::paramNotFound, 0},
      {"text for a Double", dispid::AddLine, method, lineArgs(0, u"abc"), {}, status::typeMismatch, 0},
      {"empty text for a Double", dispid::AddLine, method, lineArgs(1, u""), {}, status::typeMismatch, 1},
      {"NaN as text", dispid::AddLine, method, lineArgs(2, u"NaN"), {}, status::typeMismatch, 2},
      {"hexadecimal text past 32 bits",
       dispid::AddLine,
       method,
       lineArgs(3, u"&H100000000"),
       {},
       status::dispOverflow,
       3},
      {"text whose NUL comes before its digits",
       dispid::AddLine,
       method,
       lineArgs(0, std::u16string(u"\0"
                                  u"1",
                                  2)),
       {},
       status::typeMismatch,
       0},
      {"Null for a Double", dispid::AddLine, method, lineArgs(1, Null{}), {}, status::typeMismatch, 1},
      {"an array for a Long", dispid::AddLine, method, lineArgs(4, Array{}), {}, status::typeMismatch, 4},
      {"Nothing for the Tag",
       dispid::AddLine,
       method,
       lineArgs(6, static_cast<const AutomationObject*>(nullptr)),
       {},
       status::badVarType,
       6},
      {"a date past the year 9999 as the Tag",
       dispid::AddLine,
       method,
       lineArgs(6, Date{3e6}),
       {},
       status::invalidArgument,
       6},
      {"a lone surrogate for a Long", dispid::AddLine, method, lineArgs(4, u"\xD800"), {}, status::typeMismatch, 4},
      {"text beyond the Double range", dispid::AddLine, method, lineArgs(0, u"1e309"), {}, status::dispOverflow, 0},
      {"text beyond the range despite a negative exponent",
       dispid::AddLine,
       method,
       lineArgs(0, u"1" + std::u16string(390, u'0') + u"e-1"),
       {},
       status::dispOverflow,
       0},
      {"a Long past the largest", dispid::AddLine, method, lineArgs(4, 2147483647.5), {}, status::dispOverflow, 4},
      {"a Long below the smallest", dispid::AddLine, method, lineArgs(5, -2147483649.0), {}, status::dispOverflow, 5},
      {"infinity for a Long", dispid::AddLine, method, lineArgs(5, -kInf), {}, status::dispOverflow, 5},
      {"text past the Long range", dispid::AddLine, method, lineArgs(4, u"2147483648"), {}, status::dispOverflow, 4},
      {"a box refused before its first side", dispid::AddBox, method, lineArgs(6, kNaN), Named{{0, 1.0}},
       status::badParamCount, -1},
  };
  for (const BindingCase& c : cases) {
    SCOPED_TRACE(c.what);
    Trazo t;
    ASSERT_EQ(t.onInitialize(), status::ok);
    ASSERT_EQ(t.AddCircle(1, 1, 1, 2, 0, u"held"), status::ok);
    const auto before = testing::takeSnapshot(t.store());
    Variant result;
    std::int32_t argError = -7;
    EXPECT_EQ(invoke(t, c.dispId, c.flags, c.positional, c.named, &result, &argError), c.expected);
    if (c.expected != status::memberNotFound) {
      EXPECT_EQ(argError, c.argError);
    }
    EXPECT_EQ(testing::describeDifference(before, t.store()), "");
  }
}

// What coercion makes of odd but acceptable arguments, read back from the stored record.
TEST(HostileBinding, AcceptedArgumentsAreCoercedAsAutomationDoes) {
  struct Accepted {
    const char* what;
    std::size_t index;
    Variant value;
    double value1;  // x1 as stored (index 0 only)
    std::int32_t col;
    std::u16string tag;
  };
  const std::u16string nulAndSurrogates(u"a\0\xDC00\xD800", 4);
  const Accepted cases[] = {
      {"Empty as a Double is 0", 0, std::monostate{}, 0.0, 3, u"tag"},
      {"True as a Double is -1", 0, true, -1.0, 3, u"tag"},
      {"text with blanks parses", 0, u" \t-2.5e1 ", -25.0, 3, u"tag"},
      {"text below the Double range is 0", 0, u"1e-400", 0.0, 3, u"tag"},
      {"text below the Double range without an exponent is 0", 0, u"0." + std::u16string(350, u'0') + u"1", 0.0, 3,
       u"tag"},
      {"a tiny negative number is -0", 0, u"-0.0000000001e-350", -0.0, 3, u"tag"},
      {"a tiny number with a large exponent is 0", 0, u"0." + std::u16string(350, u'0') + u"1e10", 0.0, 3, u"tag"},
      {"NaN passes to a Double", 0, kNaN, kNaN, 3, u"tag"},
      {"-0 stays -0", 0, -0.0, -0.0, 3, u"tag"},
      {"a half rounds to even", 4, 2.5, 0.0, 2, u"tag"},
      {"a negative half rounds to even", 4, -3.5, 0.0, -4, u"tag"},
      {"the smallest Long after rounding", 4, -2147483648.4, 0.0, INT32_MIN, u"tag"},
      {"a Short", 4, std::int16_t{-32768}, 0.0, -32768, u"tag"},
      {"a number as the Tag", 6, 1e21, 0.0, 3, u"1E+21"},
      {"a Boolean as the Tag", 6, false, 0.0, 3, u"0"},
      {"a date as the Tag", 6, Date{45000.5}, 0.0, 3, u"3/15/2023 12:00:00 PM"},
      {"hexadecimal text", 0, u"&H10", 16.0, 3, u"tag"},
      {"text with separators and a trailing sign", 0, u"1,000.5-", -1000.5, 3, u"tag"},
      {"text that ends at a NUL", 0,
       std::u16string(u"1\0"
                      u"2",
                      3),
       1.0, 3, u"tag"},
      {"NaN for a Long, as the platform lets it through", 4, kNaN, 0.0, INT32_MAX, u"tag"},
      {"a date for a Long", 4, Date{2.5}, 0.0, 2, u"tag"},
      {"NaN as the Tag", 6, kNaN, 0.0, 3, u"NaN"},
      {"-0 as the Tag", 6, -0.0, 0.0, 3, u"0"},
      {"NULs and lone surrogates in the Tag", 6, nulAndSurrogates, 0.0, 3, nulAndSurrogates},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(c.what);
    Trazo t;
    ASSERT_EQ(t.onInitialize(), status::ok);
    ASSERT_EQ(invoke(t, dispid::AddLine, kInvokeMethod, lineArgs(c.index, c.value), {}), status::ok);
    const Entity e = *t.store().at(1);
    if (c.index == 0) {
      EXPECT_TRUE(testing::sameBits(e.Value1, c.value1)) << e.Value1;
    }
    EXPECT_EQ(e.Col, c.col);
    EXPECT_EQ(e.Tag, c.tag);
  }
}

// Names: case does not matter, anything else does.
TEST(HostileBinding, NamesMatchOnlyWhenEqualIgnoringCase) {
  EXPECT_EQ(findMember("ADDCIRCLE2")->dispId, dispid::AddCircle2);
  EXPECT_EQ(findMember("count")->dispId, dispid::Count);
  for (const std::string_view bad :
       {std::string_view("AddLine\0", 8), std::string_view("\0AddLine", 8), std::string_view("AddLine "),
        std::string_view("AddLin"), std::string_view(""), std::string_view("MouseMove"),
        std::string_view("A\xC4"
                         "dLine")}) {
    EXPECT_EQ(findMember(bad), nullptr) << bad;
  }
  const MemberInfo& text = *findMember(dispid::AddText);
  EXPECT_EQ(findParam(text, "CTEXT"), 5);
  EXPECT_EQ(findParam(text, "lType"), std::nullopt);  // AddText has no line type
  EXPECT_EQ(findParam(text, std::string_view("Tag\0", 4)), std::nullopt);
}

}  // namespace
}  // namespace trazo
