// Reflash's view fitting: the stored widening of narrow spans, the guard, the choice of
// the fitting axis on single-precision values, and the Scale it sets.
#include "model/add_operations.hpp"
#include "render/reflash.hpp"
#include "support/trace_of.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace trazo {
namespace {

using testing::lines;

struct Fitting : ::testing::Test {
  void SetUp() override { ASSERT_EQ(store.clear(), status::ok); }
  // The trace of one Reflash into a picture of w x h twips.
  std::vector<std::string> reflash(double w = 4000, double h = 2000, Status expected = status::ok) {
    std::ostringstream out;
    RecordingSurface picture(out, w, h);
    EXPECT_EQ(Reflash(store, picture), expected);
    return lines(out.str());
  }
  Store store;
};

TEST_F(Fitting, EmptyDrawingIsFittedToTheHeight) {
  // Extents (0, 0)-(1, 1): D = 1 < A = 2, so H = 1.2 and W = 2.4 around the centre (0.5, 0.5).
  const auto trace = reflash();
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[0], "Cls");
  EXPECT_EQ(trace[1], "ScaleMode 1");
  double left = 0, top = 0, right = 0, bottom = 0;
  ASSERT_EQ(std::sscanf(trace[2].c_str(), "Scale %lf %lf %lf %lf", &left, &top, &right, &bottom), 4);
  EXPECT_NEAR(left, -0.7, 1e-12);
  EXPECT_NEAR(top, 1.1, 1e-12);
  EXPECT_NEAR(right, 1.7, 1e-12);
  EXPECT_NEAR(bottom, -0.1, 1e-12);
  EXPECT_EQ(trace[3], "FontSize 9");
}

TEST_F(Fitting, DrawingAsWideAsThePictureIsFittedToTheWidth) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 5, 3, 2, u""), status::ok);
  EXPECT_EQ(reflash()[2], "Scale -1 5.5 11 -0.5");  // D = A = 2: W = 12, H = 6
}

TEST_F(Fitting, SquareDrawingInAWidePictureIsFittedToTheHeight) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 10, 1, 0, u""), status::ok);
  EXPECT_EQ(reflash()[2], "Scale -7 11 17 -1");  // H = 12, W = 24
}

TEST_F(Fitting, AxisIsChosenOnSinglePrecisionValues) {
  // D = 1.999999999 is below A = 2 in double but equal to it in single precision, so the
  // width branch applies: W = 1.999999999 x 1.2, H = W / 2.
  ASSERT_EQ(addLine(store, 0, 0, 1.999999999, 1, 1, 0, u""), status::ok);
  const double W = 1.999999999 * 1.2;
  const double H = W / 2.0;
  const double left = 1.999999999 * 0.5 - W * 0.5;
  const double top = 0.5 + H * 0.5;
  std::string scale = "Scale ";
  for (double v : {left, top, W + left, top - H}) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g ", v);
    scale += buf;
  }
  scale.pop_back();
  EXPECT_EQ(reflash()[2], scale);
}

TEST_F(Fitting, PointDrawingIsWidenedAndTheWideningIsKept) {
  ASSERT_EQ(addLine(store, 5, 5, 5, 5, 1, 0, u""), status::ok);
  reflash();
  const Extents& e = store.extents();
  EXPECT_EQ(e.MinX, 4);
  EXPECT_EQ(e.MinY, 4);
  EXPECT_EQ(e.MaxX, 6);
  EXPECT_EQ(e.MaxY, 6);
  ASSERT_EQ(addLine(store, 5, 5, 5.5, 5.5, 1, 0, u""), status::ok);
  EXPECT_EQ(store.extents().MinX, 4);
  EXPECT_EQ(store.extents().MaxY, 6);
  reflash();  // wide enough now: no further widening
  EXPECT_EQ(store.extents().MaxX, 6);
}

TEST_F(Fitting, OnlyTheNarrowSpanIsWidened) {
  ASSERT_EQ(addLine(store, 0, 3, 10, 3, 1, 0, u""), status::ok);
  reflash();
  EXPECT_EQ(store.extents().MinY, 2);
  EXPECT_EQ(store.extents().MaxY, 4);
  EXPECT_EQ(store.extents().MinX, 0);
  EXPECT_EQ(store.extents().MaxX, 10);
}

TEST_F(Fitting, SpanOfExactlyTheLimitIsNotWidened) {
  ASSERT_EQ(addLine(store, 0, 0, 1, 0.00001, 1, 0, u""), status::ok);
  reflash();
  EXPECT_EQ(store.extents().MaxY, 0.00001);
  EXPECT_EQ(store.extents().MinY, 0);
}

TEST_F(Fitting, PictureWithoutWidthOrHeightIsClearedAndNothingPainted) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 5, 1, 1, u""), status::ok);
  for (const auto& [w, h] : {std::pair{0.0, 2000.0}, std::pair{4000.0, 0.0}, std::pair{0.0, 0.0}}) {
    const auto trace = reflash(w, h);
    ASSERT_EQ(trace.size(), 2u) << w << "x" << h;
    EXPECT_EQ(trace[0], "Cls");
    EXPECT_EQ(trace[1], "ScaleMode 1");
  }
}

// "Scale l t r b" as the trace prints it.
std::string scaleLine(double left, double top, double right, double bottom) {
  char buf[120];
  std::snprintf(buf, sizeof buf, "Scale %.17g %.17g %.17g %.17g", left, top, right, bottom);
  return buf;
}

TEST_F(Fitting, FiniteExtentsTooFarApartAreFittedOnHalfSpans) {
  constexpr double kMax = std::numeric_limits<double>::max();
  struct Case {
    const char* what;
    double x1, y1, x2, y2;
    std::string scale;
  };
  const Case cases[] = {
      // Span 2e308 overflows: width-fitted (D past the range) around 0 with half a view of
      // 1e308 x 1.2, the height half of it; the Y span is widened to -1..1 first.
      {"a span that overflows", -1e308, 0, 1e308, 0,
       scaleLine(-(1e308 * 1.2), 1e308 * 1.2 / 2, 1e308 * 1.2, -(1e308 * 1.2 / 2))},
      // The span fits, the sum MinX + MaxX for the centre does not: centre 1.35e308, half a
      // view of 0.35e308 x 1.2 across, half of that up and down around 0.5.
      {"a centre beyond the range", 1e308, 0, 1.7e308, 1,
       [] {
         const double c = 1e308 * 0.5 + 1.7e308 * 0.5, half = (1.7e308 * 0.5 - 1e308 * 0.5) * 1.2;
         return scaleLine(c - half, 0.5 + half / 2, c + half, 0.5 - half / 2);
       }()},
      // Height-fitted, half a view of 1.2 x kMax up and down and twice that across: the view
      // itself is beyond the range and stops at its ends.
      {"a view beyond the range", -kMax, -kMax, kMax, kMax, scaleLine(-kMax, kMax, kMax, -kMax)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(store.clear(), status::ok);
    ASSERT_EQ(addLine(store, c.x1, c.y1, c.x2, c.y2, 1, 0, u""), status::ok);
    const auto trace = reflash();
    ASSERT_EQ(trace.size(), 6u);
    EXPECT_EQ(trace[2], c.scale);
    EXPECT_EQ(trace[4].rfind("Line ", 0), 0u);  // the entity is painted
  }
}

TEST_F(Fitting, APointTooFarOutForOneUnitIsWidenedByOneStepEachWay) {
  // At 1e20 one unit changes nothing (a step between doubles is 16384 there): each bound
  // moves to the next double, and the widening is kept like any other.
  ASSERT_EQ(addLine(store, 1e20, 1e20, 1e20, 1e20, 1, 0, u""), status::ok);
  const auto first = reflash();
  const Extents& e = store.extents();
  EXPECT_EQ(e.MinX, std::nextafter(1e20, 0.0));
  EXPECT_EQ(e.MaxX, std::nextafter(1e20, INFINITY));
  EXPECT_EQ(e.MinY, std::nextafter(1e20, 0.0));
  EXPECT_EQ(e.MaxY, std::nextafter(1e20, INFINITY));
  ASSERT_EQ(first.size(), 6u);
  EXPECT_EQ(reflash(), first);  // wide enough now
  // Where one side moves by one unit (2^53 - 1) the classic widening stands alone.
  ASSERT_EQ(store.clear(), status::ok);
  ASSERT_EQ(addLine(store, 0x1p53, 0, 0x1p53, 1, 1, 0, u""), status::ok);
  reflash();
  EXPECT_EQ(store.extents().MinX, 0x1p53 - 1);
  EXPECT_EQ(store.extents().MaxX, 0x1p53);
}

TEST_F(Fitting, AViewCornerStopsOnlyWhereItPassesTheLargestDouble) {
  // In a 6000 x 1000 picture, a point at x = -1.7e308 over a Y span of 5e307: fitted to
  // the height, half the view across is 6 x 2.5e307 x 1.2 = 1.8e308, past the range,
  // though the right corner -1.7e308 + 1.8e308 = 1e307 is not; the left one is.
  ASSERT_EQ(addLine(store, -1.7e308, 0, -1.7e308, 5e307, 1, 0, u""), status::ok);
  const auto trace = reflash(6000, 1000);
  ASSERT_EQ(trace.size(), 6u);
  double left = 0, top = 0, right = 0, bottom = 0;
  ASSERT_EQ(std::sscanf(trace[2].c_str(), "Scale %lf %lf %lf %lf", &left, &top, &right, &bottom), 4);
  EXPECT_EQ(left, -std::numeric_limits<double>::max());
  EXPECT_NEAR(right / 1e307, 1, 1e-12);
  EXPECT_NEAR(top / 5.5e307, 1, 1e-12);
  EXPECT_NEAR(bottom / -5e306, 1, 1e-12);
}

TEST_F(Fitting, InfiniteCoordinatesArePassedOverByTheFit) {
  // An entity with an infinite coordinate leaves infinite extents, which have no centre:
  // the fit takes what is finite of every entity's bounds, and every entity is painted.
  // Each drawing gets the view of a finite line, bit for bit.
  using Line = std::array<double, 4>;
  struct Case {
    const char* what;
    std::vector<Line> lines;
    Line sameView;
  };
  const Case cases[] = {
      // The infinite line adds only x = 0 to the finite one.
      {"beside a finite drawing", {{0, 0, 10, 5}, {0, 0, INFINITY, 1}}, {0, 0, 10, 5}},
      // No finite X at all: a point at 0, widened to -1..1, beside Y 0..1.
      {"infinite both ways", {{-INFINITY, 0, INFINITY, 1}}, {-1, 0, 1, 1}},
      // AddBox 0, 0, Infinity, 1: finite X only at 0, widened likewise.
      {"a box to infinity",
       {{0, 0, INFINITY, 0}, {INFINITY, 0, INFINITY, 1}, {INFINITY, 1, 0, 1}, {0, 1, 0, 0}},
       {-1, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(store.clear(), status::ok);
    const Line& l = c.sameView;
    ASSERT_EQ(addLine(store, l[0], l[1], l[2], l[3], 1, 0, u""), status::ok);
    const std::string view = reflash()[2];
    ASSERT_EQ(store.clear(), status::ok);
    for (const Line& line : c.lines)
      ASSERT_EQ(addLine(store, line[0], line[1], line[2], line[3], 1, 0, u""), status::ok);
    const Extents stored = store.extents();
    const auto trace = reflash();
    ASSERT_EQ(trace.size(), 4 + 2 * c.lines.size());
    EXPECT_EQ(trace[2], view);
    EXPECT_EQ(reflash(), trace);                                               // on every repaint
    EXPECT_TRUE(std::isinf(stored.MaxX) && std::isinf(store.extents().MaxX));  // nothing of the fit is stored
  }
}

TEST_F(Fitting, NaNExtentsEndAtTheGuardWithoutError) {
  ASSERT_EQ(addLine(store, NAN, NAN, NAN, NAN, 1, 0, u""), status::ok);
  EXPECT_EQ(reflash().size(), 2u);
}

TEST_F(Fitting, EntitiesArePaintedInOrderOfAddition) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 5, 1, 0, u""), status::ok);
  ASSERT_EQ(addCircle(store, 5, 2, 1, 2, 0, u""), status::ok);
  ASSERT_EQ(addArc(store, 5, 2, 2, 0, 1, 3, 0, u""), status::ok);
  ASSERT_EQ(addText(store, 1, 1, 1, 0, 4, u"A", u""), status::ok);
  const auto trace = reflash();
  ASSERT_EQ(trace.size(), 4u + 2 + 2 + 2 + 4);
  EXPECT_EQ(trace[4], "Line 0 0 10 5 FF0000");
  EXPECT_EQ(trace[6], "Circle 5 2 1 FFFF00");
  EXPECT_EQ(trace[8], "Arc 5 2 2 00FF00 0 1");
  EXPECT_EQ(trace[10], "Line 1 1 1.5 1 00FFFF");
}

TEST_F(Fitting, SurfaceFailureEndsTheRepaintAtOnce) {
  ASSERT_EQ(addLine(store, 0, 0, 10, 5, 1, 2, u""), status::ok);
  ASSERT_EQ(addLine(store, 0, 5, 10, 0, 1, 0, u""), status::ok);
  // Operations: Cls, ScaleMode, Scale, FontSize, DrawStyle 3, Line (fails) ...
  std::ostringstream out;
  testing::FailingSurface picture(out, 6);
  EXPECT_EQ(Reflash(store, picture), status::unexpected);
  const auto trace = lines(out.str());
  ASSERT_EQ(trace.size(), 6u);
  EXPECT_EQ(trace[4], "DrawStyle 3");  // the dash style stays set
  EXPECT_EQ(trace[5], "!Line");
}

}  // namespace
}  // namespace trazo
