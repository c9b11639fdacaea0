// The lifecycle actions a shell calls: Resize stretches P1 step by step, Paint repaints,
// pointer movement reaches every sink with the coordinates crossed, Terminate frees the
// store.
#include "control/trazo.hpp"
#include "support/trace_of.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace trazo {
namespace {

using ::testing::_;
using ::testing::InSequence;

class MockSink : public TrazoEvents {
 public:
  MOCK_METHOD(void, MouseMove, (std::int16_t & Button, std::int16_t& Shift, float& X, float& Y), (override));
};

// A client area whose reads can fail one by one.
class Area : public ClientArea {
 public:
  float values[4] = {10, 20, 3000, 1500};
  bool fails[4] = {false, false, false, false};
  Status scaleLeft(float& v) override { return read(0, v); }
  Status scaleTop(float& v) override { return read(1, v); }
  Status scaleWidth(float& v) override { return read(2, v); }
  Status scaleHeight(float& v) override { return read(3, v); }

 private:
  Status read(int i, float& v) {
    if (fails[i]) return status::unexpected;
    v = values[i];
    return status::ok;
  }
};

std::vector<float> twipsOf(const Trazo& t) {
  const TwipsPlacement& p = t.placement().twips();
  return {p.left, p.top, p.width, p.height};
}

TEST(Resize, StretchesThePictureOverTheClientArea) {
  Trazo t;
  Area area;
  t.onResize(area);
  EXPECT_EQ(twipsOf(t), (std::vector<float>{10, 20, 3000, 1500}));
}

TEST(Resize, EveryStepIsTriedWhateverBecameOfTheOneBefore) {
  Trazo t;
  Area area;
  area.values[0] = std::numeric_limits<float>::quiet_NaN();  // refused by P1's placement
  area.fails[1] = true;
  area.values[2] = 0;  // a control of zero width
  t.onResize(area);
  EXPECT_EQ(twipsOf(t), (std::vector<float>{kInitialPictureLeft, kInitialPictureTop, 0, 1500}));
}

TEST(MouseMove, CoordinatesReachTheSinkCrossed) {
  Trazo t;
  MockSink sink;
  t.connect(sink);
  // P1 reports the pointer at (3, 7): the event's X carries 7 and its Y carries 3.
  EXPECT_CALL(sink, MouseMove(_, _, _, _)).WillOnce([](std::int16_t& b, std::int16_t& s, float& x, float& y) {
    EXPECT_EQ(b, 1);
    EXPECT_EQ(s, 2);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 3);
  });
  t.onMouseMove(1, 2, 3, 7);
}

TEST(MouseMove, EverySinkGetsItsOwnCopyOfTheValues) {
  Trazo t;
  MockSink first, second;
  t.connect(first);
  t.connect(second);
  InSequence order;
  // The first sink scribbles over its arguments; the second still sees what P1 reported.
  EXPECT_CALL(first, MouseMove(_, _, _, _)).WillOnce([](std::int16_t& b, std::int16_t& s, float& x, float& y) {
    b = 99, s = 99, x = -1, y = -1;
  });
  EXPECT_CALL(second, MouseMove(_, _, _, _)).WillOnce([](std::int16_t& b, std::int16_t& s, float& x, float& y) {
    EXPECT_EQ(b, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(x, 2.5f);
    EXPECT_EQ(y, -4.0f);
  });
  t.onMouseMove(0, 0, -4, 2.5f);
}

TEST(MouseMove, SinkMayDisconnectOthersWhileItRuns) {
  Trazo t;
  MockSink first, second;
  t.connect(first);
  const std::uint32_t secondCookie = t.connect(second);
  EXPECT_CALL(first, MouseMove(_, _, _, _)).WillOnce([&](auto&, auto&, auto&, auto&) {
    EXPECT_TRUE(t.disconnect(secondCookie));
  });
  EXPECT_CALL(second, MouseMove(_, _, _, _)).Times(0);
  t.onMouseMove(0, 0, 1, 1);
  EXPECT_FALSE(t.disconnect(secondCookie));
}

TEST(MouseMove, SinkMayCallTheControlFromInsideTheEvent) {
  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  MockSink sink;
  t.connect(sink);
  EXPECT_CALL(sink, MouseMove(_, _, _, _)).WillOnce([&](auto&, auto&, float& x, float& y) {
    EXPECT_EQ(t.AddLine(0, 0, x, y, 1, 0, u""), status::ok);
    EXPECT_EQ(t.Reflash(), status::ok);
  });
  t.onMouseMove(0, 0, 3, 7);
  EXPECT_EQ(t.store().count(), 1);
  EXPECT_EQ(t.store().at(1)->Value3, 7);
}

TEST(Paint, RepaintsFromTheStoreEachTime) {
  std::ostringstream out;
  RecordingSurface p1(out, 4000, 2000);
  Trazo t;
  t.attachPicture(p1);
  ASSERT_EQ(t.onInitialize(), status::ok);
  ASSERT_EQ(t.AddLine(0, 0, 10, 5, 3, 2, u""), status::ok);
  EXPECT_EQ(out.str(), "");  // adding never paints
  ASSERT_EQ(t.onPaint(), status::ok);
  const std::string once = out.str();
  ASSERT_EQ(t.onPaint(), status::ok);
  EXPECT_EQ(out.str(), once + once);
}

TEST(Terminate, FreesTheArrayAndLaterCallsFindNoSlot) {
  std::ostringstream out;
  RecordingSurface p1(out, 4000, 2000);
  Trazo t;
  t.attachPicture(p1);
  ASSERT_EQ(t.onInitialize(), status::ok);
  for (int i = 0; i < 2500; ++i) ASSERT_EQ(t.AddText(i, i, 1, 0, 1, u"many strings", u"and tags"), status::ok);
  t.onTerminate();
  EXPECT_EQ(t.store().upperBound(), 0);
  std::int32_t n = 0;
  EXPECT_EQ(t.Count(n), status::ok);
  EXPECT_EQ(n, 2500);  // the count is not touched
  EXPECT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::subscript);
  EXPECT_EQ(t.Reflash(), status::subscript);
}

}  // namespace
}  // namespace trazo
