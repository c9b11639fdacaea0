// Hostile values at each member of the control, called directly: what each gets, and that a
// failure leaves the drawing bit for bit as it was.
#include "picture/recording_surface.hpp"
#include "control/trazo.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>

namespace trazo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();

struct MemberCase {
  const char* what;
  std::function<Status(Trazo&)> call;
  Status expected;
  std::int32_t added;  // entities a successful call adds
};

void expectCases(const std::vector<MemberCase>& cases) {
  for (const MemberCase& c : cases) {
    SCOPED_TRACE(c.what);
    Trazo t;
    ASSERT_EQ(t.onInitialize(), status::ok);
    ASSERT_EQ(t.AddLine(-1, -1, 1, 1, 2, 1, u"held"), status::ok);
    const auto before = testing::takeSnapshot(t.store());
    EXPECT_EQ(c.call(t), c.expected);
    if (failed(c.expected)) {
      EXPECT_EQ(testing::describeDifference(before, t.store()), "");
    } else {
      EXPECT_EQ(t.store().count(), before.count + c.added);
      EXPECT_EQ(testing::describeChangedPrefix(before, t.store()), "");
    }
  }
}

TEST(HostileMembers, FloatingPointErrorsInTheGeometryStoreNothing) {
  const std::u16string million(1 << 20, u'A');
  expectCases({
      {"circle square overflows", [](Trazo& t) { return t.AddCircle(1e308, 0, 1e308, 1, 0, u""); }, status::floatError,
       0},
      {"negative radius overflows the low corner", [](Trazo& t) { return t.AddCircle(1e308, 0, -1e308, 1, 0, u""); },
       status::floatError, 0},
      {"inf - inf", [](Trazo& t) { return t.AddCircle(kInf, 0, kInf, 1, 0, u""); }, status::floatError, 0},
      {"arc square overflows", [](Trazo& t) { return t.AddCircle2(0, -1e308, 1e308, 0, 1, 1, 0, u""); },
       status::floatError, 0},
      {"text box overflows", [](Trazo& t) { return t.AddText(0, 0, 1e308, 0, 1, u"ABCDEFGHIJ", u""); },
       status::floatError, 0},
      {"text of a million characters overflows", [&](Trazo& t) { return t.AddText(0, 0, 1e303, 0, 1, million, u""); },
       status::floatError, 0},
      {"cos(inf) of the text angle", [](Trazo& t) { return t.AddText(0, 0, 1, kInf, 1, u"A", u""); },
       status::floatError, 0},
      {"inf height times zero characters", [](Trazo& t) { return t.AddText(0, 0, kInf, 0, 1, u"", u""); },
       status::floatError, 0},
  });
}

// Quiet NaN and infinite operands propagate without error, underflow is no error, and
// nothing is validated: the values are stored as passed.
TEST(HostileMembers, NonFiniteAndTinyValuesAreStoredAsPassed) {
  const std::u16string million(1 << 20, u'\x3042');
  expectCases({
      {"line of NaN", [](Trazo& t) { return t.AddLine(kNaN, kNaN, kNaN, kNaN, 1, 0, u""); }, status::ok, 1},
      {"line of infinities", [](Trazo& t) { return t.AddLine(-kInf, kInf, kInf, -kInf, 1, 0, u""); }, status::ok, 1},
      {"circle at infinity", [](Trazo& t) { return t.AddCircle(kInf, 0, 1, 1, 0, u""); }, status::ok, 1},
      {"circle of NaN radius", [](Trazo& t) { return t.AddCircle(0, 0, kNaN, 1, 0, u""); }, status::ok, 1},
      {"negative radius", [](Trazo& t) { return t.AddCircle(0, 0, -5, 1, 0, u""); }, status::ok, 1},
      {"arc angles not finite", [](Trazo& t) { return t.AddCircle2(0, 0, 1, kNaN, kInf, 1, 0, u""); }, status::ok, 1},
      {"text height NaN", [](Trazo& t) { return t.AddText(0, 0, kNaN, 0, 1, u"A", u""); }, status::ok, 1},
      {"text angle NaN", [](Trazo& t) { return t.AddText(0, 0, 1, kNaN, 1, u"A", u""); }, status::ok, 1},
      {"denormal height underflows", [](Trazo& t) { return t.AddText(0, 0, kDenormal, 0, 1, u"AB", u""); }, status::ok,
       1},
      {"-0 everywhere", [](Trazo& t) { return t.AddText(-0.0, -0.0, -0.0, -0.0, 0, u"A", u""); }, status::ok, 1},
      {"a million double-byte characters", [&](Trazo& t) { return t.AddText(0, 0, 1, 0, 1, million, million); },
       status::ok, 1},
      {"box of NaN corners", [](Trazo& t) { return t.AddBox(kNaN, 0, 1, kNaN, 1, 0, u""); }, status::ok, 4},
      {"box of extremes", [](Trazo& t) { return t.AddBox(-1e308, -1e308, 1e308, 1e308, 1, 0, u""); }, status::ok, 4},
      {"extreme colour and line type", [](Trazo& t) { return t.AddLine(0, 0, 1, 1, INT32_MIN, INT32_MAX, u""); },
       status::ok, 1},
  });

  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  ASSERT_EQ(t.AddCircle2(-0.0, kNaN, kDenormal, kInf, -kInf, 0, 0, std::u16string(u"\0\xD800", 2)), status::ok);
  const Entity e = *t.store().at(1);
  EXPECT_TRUE(std::signbit(e.Value1));
  EXPECT_TRUE(std::isnan(e.Value2));
  EXPECT_EQ(e.Value3, kDenormal);
  EXPECT_EQ(e.Value4, kInf);
  EXPECT_EQ(e.Value5, -kInf);
  EXPECT_EQ(e.Tag, std::u16string(u"\0\xD800", 2));
}

// A picture that refuses every operation from the n-th on.
class RefusingPicture : public NullSurface {
 public:
  explicit RefusingPicture(int allowed) : allowed_(allowed) {}
  Status cls() override { return gate(NullSurface::cls()); }
  Status setScaleMode(std::int32_t m) override { return gate(NullSurface::setScaleMode(m)); }
  Status setScale(double a, double b, double c, double d) override { return gate(NullSurface::setScale(a, b, c, d)); }
  Status line(float, float, float, float, Rgb) override { return gate(status::ok); }

 private:
  Status gate(Status s) { return allowed_-- > 0 ? s : status::unexpected; }
  int allowed_;
};

TEST(HostileMembers, ReflashFailuresKeepEveryEntity) {
  // Infinite extents have no centre: the fit passes over them, every repaint succeeds
  // and leaves the store as it was.
  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  ASSERT_EQ(t.AddLine(-kInf, 0, kInf, 1, 1, 0, u""), status::ok);
  const auto wide = testing::takeSnapshot(t.store());
  EXPECT_EQ(t.Reflash(), status::ok);
  EXPECT_EQ(testing::describeDifference(wide, t.store()), "");
  EXPECT_EQ(t.Reflash(), status::ok);
  EXPECT_EQ(t.Clear(), status::ok);
  EXPECT_EQ(t.Reflash(), status::ok);
  // Finite extents too far apart for the classic arithmetic repaint: 1e308 - (-1e308).
  ASSERT_EQ(t.AddLine(-1e308, 0, 1e308, 1, 1, 0, u""), status::ok);
  EXPECT_EQ(t.Reflash(), status::ok);

  for (int allowed = 0; allowed < 4; ++allowed) {
    SCOPED_TRACE(allowed);
    Trazo r;
    RefusingPicture picture(allowed);
    r.attachPicture(picture);
    ASSERT_EQ(r.onInitialize(), status::ok);
    ASSERT_EQ(r.AddLine(0, 0, 10, 5, 3, 2, u""), status::ok);
    const auto before = testing::takeSnapshot(r.store());
    EXPECT_EQ(r.Reflash(), status::unexpected);
    EXPECT_EQ(testing::describeDifference(before, r.store()), "");
  }
}

TEST(HostileMembers, ZeroAndNonFinitePictureSizes) {
  struct Size {
    double w, h;
    Status expected;
    bool paints;
  };
  // A NaN width makes the aspect NaN, which fits nothing; a size beyond the single range
  // reads as infinite, and inf / inf is an invalid operation.
  for (const Size s : {Size{0, 0, status::ok, false}, Size{4000, 0, status::ok, false},
                       Size{0, 2000, status::ok, false}, Size{-4000, 2000, status::ok, true},
                       Size{kNaN, 2000, status::ok, false}, Size{1e300, 1e300, status::floatError, false}}) {
    SCOPED_TRACE(::testing::Message() << s.w << "x" << s.h);
    std::ostringstream trace;
    RecordingSurface picture(trace, s.w, s.h);
    Trazo t;
    t.attachPicture(picture);
    ASSERT_EQ(t.onInitialize(), status::ok);
    ASSERT_EQ(t.AddLine(0, 0, 10, 5, 3, 0, u""), status::ok);
    EXPECT_EQ(t.Reflash(), s.expected);
    EXPECT_EQ(trace.str().find("Line") != std::string::npos, s.paints) << trace.str();
  }
}

TEST(HostileMembers, CallsAfterTerminate) {
  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  ASSERT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::ok);
  t.onTerminate();
  EXPECT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::subscript);
  EXPECT_EQ(t.AddBox(0, 0, 1, 1, 1, 0, u""), status::subscript);
  EXPECT_EQ(t.AddCircle(0, 0, 1, 1, 0, u""), status::subscript);
  EXPECT_EQ(t.AddCircle2(0, 0, 1, 0, 1, 1, 0, u""), status::subscript);
  EXPECT_EQ(t.AddText(0, 0, 1, 0, 1, u"A", u""), status::subscript);
  EXPECT_EQ(t.Reflash(), status::subscript);  // the entity it would paint is gone
  t.onTerminate();                            // twice is harmless
  EXPECT_EQ(t.Clear(), status::ok);           // and Clear brings back an empty store
  std::int32_t count = -1;
  EXPECT_EQ(t.Count(count), status::ok);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::ok);
}

// Each of the four placements is tried whatever became of the one before; a refused one
// leaves P1 where it was and moves no window.
TEST(HostileMembers, ResizeWithAClientAreaThatFails) {
  struct Area : ClientArea {
    Status scaleLeft(float& v) override { return v = 1, status::ok; }
    Status scaleTop(float&) override { return status::unexpected; }
    Status scaleWidth(float& v) override { return v = std::numeric_limits<float>::infinity(), status::ok; }
    Status scaleHeight(float& v) override { return v = -0.0f, status::ok; }
  } area;
  struct Window : PlacementListener {
    void picturePlaced(const PixelPlacement& pixels) override { placed.push_back(pixels); }
    std::vector<PixelPlacement> placed;
  } window;
  Trazo t;
  t.placement().attach(&window, 1440, 1440);  // a pixel is a twip
  t.onResize(area);
  const TwipsPlacement& twips = t.placement().twips();
  EXPECT_EQ(twips.left, 1.0f);
  EXPECT_EQ(twips.top, kInitialPictureTop);
  EXPECT_EQ(twips.width, kInitialPictureWidth);
  EXPECT_TRUE(std::signbit(twips.height));
  const std::int32_t left = 240, top = 420, width = 4155, height = 2475;
  ASSERT_EQ(window.placed.size(), 3u);  // on attaching, then Left and Height
  EXPECT_EQ(window.placed[0], (PixelPlacement{left, top, width, height}));
  EXPECT_EQ(window.placed[1], (PixelPlacement{1, top, width, height}));
  EXPECT_EQ(window.placed[2], (PixelPlacement{1, top, width, 0}));
}

}  // namespace
}  // namespace trazo
