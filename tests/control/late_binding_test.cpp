// Late binding: names and dispatch ids from the member table reach the right C++ member,
// arguments bind by position and by name, and bad calls get the conventional errors
// without touching the control.
#include "automation/late_binding.hpp"
#include "control/trazo.hpp"
#include "support/trace_of.hpp"

#include <gtest/gtest.h>

namespace trazo {
namespace {

using V = Variant;
constexpr std::uint16_t kCall = kInvokeMethod | kInvokePropertyGet;

std::int32_t countOf(Trazo& t) {
  V result;
  EXPECT_EQ(invoke(t, dispid::Count, kInvokePropertyGet, {}, {}, &result), status::ok);
  return std::get<std::int32_t>(result);
}

struct LateBinding : ::testing::Test {
  void SetUp() override {
    t.attachPicture(picture);
    ASSERT_EQ(t.onInitialize(), status::ok);
  }
  std::ostringstream out;
  RecordingSurface picture{out, 4000, 2000};
  Trazo t;
};

TEST(MemberLookup, NamesMatchWithoutRegardToCase) {
  for (const MemberInfo& m : kMembers) {
    std::string upper(m.name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(findMember(upper), &m);
    EXPECT_EQ(findMember(m.dispId), &m);
  }
  EXPECT_EQ(findMember("AddLin"), nullptr);
  EXPECT_EQ(findMember(""), nullptr);
  EXPECT_EQ(findMember(0x60030002), nullptr);  // ids between the listed ones are not members
}

TEST(MemberLookup, AddTextHasNoLineTypeParameter) {
  const MemberInfo* addText = findMember("addtext");
  ASSERT_NE(addText, nullptr);
  EXPECT_EQ(addText->params.size(), 7u);
  EXPECT_FALSE(findParam(*addText, "lType"));
  EXPECT_EQ(findParam(*addText, "CTEXT"), 5);
  EXPECT_EQ(findParam(*findMember("AddCircle2"), "ea"), 4);
}

TEST_F(LateBinding, EveryMemberReachesItsOwnImplementation) {
  const std::vector<V> line{V{0.0}, V{0.0}, V{10.0}, V{5.0}, V{3.0}, V{2.0}, V{std::u16string(u"t")}};
  ASSERT_EQ(invoke(t, dispid::AddLine, kCall, line, {}), status::ok);
  EXPECT_EQ(countOf(t), 1);
  ASSERT_EQ(invoke(t, dispid::AddBox, kCall, line, {}), status::ok);
  EXPECT_EQ(countOf(t), 5);
  ASSERT_EQ(invoke(t, dispid::AddCircle, kCall, std::vector<V>{V{1.0}, V{2.0}, V{3.0}, V{4.0}, V{1.0}, V{u""}}, {}),
            status::ok);
  EXPECT_EQ(t.store().at(6)->Kind, kKindCircle);
  ASSERT_EQ(invoke(t, dispid::AddCircle2, kCall,
                   std::vector<V>{V{1.0}, V{2.0}, V{3.0}, V{0.5}, V{1.5}, V{4.0}, V{1.0}, V{u""}}, {}),
            status::ok);
  EXPECT_EQ(t.store().at(7)->Value5, 1.5);
  ASSERT_EQ(invoke(t, dispid::AddText, kCall,
                   std::vector<V>{V{1.0}, V{2.0}, V{3.0}, V{0.0}, V{4.0}, V{u"txt"}, V{u"tag"}}, {}),
            status::ok);
  EXPECT_EQ(t.store().at(8)->Text, u"txt");
  EXPECT_EQ(t.store().at(8)->Tag, u"tag");
  ASSERT_EQ(invoke(t, dispid::Reflash, kInvokeMethod, {}, {}), status::ok);
  EXPECT_NE(out.str().find("Circle 1 2 3 00FFFF"), std::string::npos);
  ASSERT_EQ(invoke(t, dispid::Clear, kInvokeMethod, {}, {}), status::ok);
  EXPECT_EQ(countOf(t), 0);
}

TEST_F(LateBinding, NamedArgumentsInAnyOrderAfterPositionalOnes) {
  const std::vector<V> positional{V{1.0}, V{2.0}};
  const std::vector<NamedArgument> named{{7, V{u"arc"}}, {3, V{0.25}}, {6, V{3.0}},
                                         {2, V{5.0}},    {5, V{2.0}},  {4, V{0.75}}};
  ASSERT_EQ(invoke(t, dispid::AddCircle2, kInvokeMethod, positional, named), status::ok);
  const Entity e = *t.store().at(1);
  EXPECT_EQ(e.Value1, 1);
  EXPECT_EQ(e.Value2, 2);
  EXPECT_EQ(e.Value3, 5);
  EXPECT_EQ(e.Value4, 0.25);
  EXPECT_EQ(e.Value5, 0.75);
  EXPECT_EQ(e.Col, 2);
  EXPECT_EQ(e.LineType, 3);
  EXPECT_EQ(e.Tag, u"arc");
}

TEST_F(LateBinding, BadCallsAreRejectedWithoutTouchingTheControl) {
  ASSERT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u"keep"), status::ok);
  const std::vector<V> six{V{0.0}, V{0.0}, V{1.0}, V{1.0}, V{1.0}, V{0.0}};
  const std::vector<V> eight{V{0.0}, V{0.0}, V{1.0}, V{1.0}, V{1.0}, V{0.0}, V{u""}, V{1.0}};
  std::int32_t argError = -2;
  EXPECT_EQ(invoke(t, 0x12345, kCall, {}, {}), status::memberNotFound);
  EXPECT_EQ(invoke(t, dispid::AddLine, kCall, six, {}), status::badParamCount);
  EXPECT_EQ(invoke(t, dispid::AddLine, kCall, eight, {}), status::badParamCount);
  EXPECT_EQ(invoke(t, dispid::Clear, kCall, std::vector<V>{V{1.0}}, {}), status::badParamCount);
  // a named argument beyond the list, or naming a parameter already given
  EXPECT_EQ(invoke(t, dispid::AddLine, kCall, six, std::vector<NamedArgument>{{9, V{u""}}}, nullptr, &argError),
            status::paramNotFound);
  EXPECT_EQ(argError, 9);
  EXPECT_EQ(invoke(t, dispid::AddLine, kCall, six, std::vector<NamedArgument>{{0, V{u""}}}), status::paramNotFound);
  // a string that is not a number, a Long out of range
  std::vector<V> text = six;
  text.push_back(V{u""});
  text[1] = V{u"north"};
  EXPECT_EQ(invoke(t, dispid::AddLine, kCall, text, {}, nullptr, &argError), status::typeMismatch);
  EXPECT_EQ(argError, 1);
  text[1] = V{0.0};
  text[4] = V{3e9};
  EXPECT_EQ(invoke(t, dispid::AddLine, kCall, text, {}, nullptr, &argError), status::dispOverflow);
  EXPECT_EQ(argError, 4);
  // Count cannot be set, and a method is not a property to read
  EXPECT_EQ(invoke(t, dispid::Count, kInvokePropertyPut, std::vector<V>{V{3.0}}, {}), status::memberNotFound);
  EXPECT_EQ(invoke(t, dispid::Reflash, kInvokePropertyGet, {}, {}), status::memberNotFound);

  EXPECT_EQ(countOf(t), 1);
  EXPECT_EQ(t.store().at(1)->Tag, u"keep");
}

TEST_F(LateBinding, MemberFailureComesBackAsItsStatus) {
  const std::vector<V> args{V{1e308}, V{0.0}, V{1e308}, V{1.0}, V{0.0}, V{u""}};
  EXPECT_EQ(invoke(t, dispid::AddCircle, kCall, args, {}), status::floatError);
  EXPECT_EQ(countOf(t), 0);
}

}  // namespace
}  // namespace trazo
