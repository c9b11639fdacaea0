// A repaint that hands over only the entities that can reach the part of the picture a
// window keeps must give that window the pixels of the repaint that hands over everything:
// random drawings of every kind and line type (far, huge and not finite ones among them),
// random zooms and windows, every pen, a colour map, and the dash style P1 starts with. A
// walk shared between two threads (the whole walk and the window's) gives the same pixels.
#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"
#include "raster/raster_walk_split.hpp"
#include "render/reflash.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <random>
#include <string>

namespace trazo {
namespace {

void fillRandomly(Trazo& t, std::mt19937& random, int count) {
  std::uniform_real_distribution<double> at(0, 1000), size(0, 60), angle(-7, 7), unit(0, 1);
  std::uniform_int_distribution<int> kind(0, 15), lType(-1, 5), col(0, 8);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int i = 0; i < count; ++i) {
    const double x = at(random), y = at(random), s = size(random);
    const int c = col(random), l = lType(random);
    switch (kind(random)) {
      case 0: (void)t.AddText(x, y, s / 3, angle(random) * 50, c, u"label", u"t"); break;
      case 1: (void)t.AddCircle(x, y, 300 + 3000 * unit(random), c, l, {}); break;
      case 2: (void)t.AddLine(x, y, x + 1e5 * (unit(random) - 0.5), y - 1e5, c, l, {}); break;
      case 3: (void)t.AddLine(x, nan, x, y, c, l, {}); break;
      case 4: (void)t.AddBox(x, y, x + s, y + s / 2, c, l, u"box"); break;
      case 5:
      case 6: (void)t.AddCircle2(x, y, s, angle(random), angle(random), c, l, {}); break;
      case 7:
      case 8: (void)t.AddCircle(x, y, s / 3, c, l, {}); break;
      default: (void)t.AddLine(x, y, x + s, y + s * (unit(random) - 0.5), c, l, {}); break;
    }
  }
}

// Counts the second pictures made: the walks it is handed are split.
struct CountedSplit final : RasterWalkSplit {
  int made = 0;
  DeviceEngine& frontOf(RasterEngine& second) override {
    ++made;
    return second;
  }
};

TEST(ShownEntities, AWindowKeepsThePixelsOfTheWholeWalk) {
  CountedSplit split;
  split.setSplitFrom(2);
  std::mt19937 random(5);
  ColourMap light;
  light.set({255, 128, 128}, {128, 0, 0});
  struct Look {
    DevicePen pen;
    bool mapped;
  };
  const Look looks[] = {{{1, 1}, false}, {{1, 2}, true}, {{2.5, 1}, false}, {{7, 3}, true}};
  for (const int entities : {40, 3000}) {
    Trazo control;
    ASSERT_EQ(control.onInitialize(), status::ok);
    // Texts first, so that the dash style P1 starts with shows in them.
    for (int i = 0; i < 5; ++i) ASSERT_EQ(control.AddText(10 * i, 5, 4, 15, 3, u"first", {}), status::ok);
    fillRandomly(control, random, entities);
    for (const double zoom : {1.0, 10.0, 100.0, 1000.0}) {
      const int width = static_cast<int>(400 * zoom), height = static_cast<int>(300 * zoom);
      std::uniform_int_distribution<int> left(0, width - 1), top(0, height - 1), side(1, 160);
      for (const Look& look : looks) {
        const PixelWindow window{left(random), top(random), side(random), side(random)};
        const int startStyle = static_cast<int>(random() % 5);
        SCOPED_TRACE("entities " + std::to_string(entities) + ", zoom " + std::to_string(zoom) + ", window at " +
                     std::to_string(window.left) + ", " + std::to_string(window.top) + ", pen " +
                     std::to_string(look.pen.width) + ", style " + std::to_string(startStyle));
        RasterSurface shown, whole, splitWhole, splitShown;
        for (RasterSurface* p1 : {&shown, &whole, &splitWhole, &splitShown}) {
          ASSERT_TRUE(p1->setPixelWindow(width, height, window));
          p1->setPen(look.pen);
          if (look.mapped) p1->setColourMap(light);
          ASSERT_EQ(p1->setDrawStyle(startStyle), status::ok);
        }
        control.attachPicture(shown);
        ASSERT_EQ(control.Reflash(), status::ok);
        control.detachPicture();
        Store& store = const_cast<Store&>(control.store());
        ASSERT_EQ(trazo::Reflash(store, whole), status::ok);
        splitWhole.raster().setThreads(2);
        splitShown.raster().setThreads(2);
        split.use(splitWhole, splitWhole.raster());
        const int made = split.made;
        ASSERT_EQ(trazo::Reflash(store, splitWhole, nullptr, nullptr, &split), status::ok);
        ASSERT_EQ(split.made, made + 1);
        split.use(splitShown, splitShown.raster());
        control.attachPicture(splitShown);
        control.shareWalk(&split);
        ASSERT_EQ(control.Reflash(), status::ok);
        control.shareWalk(nullptr);
        control.detachPicture();
        const PixelBuffer& b = whole.picture();
        for (RasterSurface* p1 : {&shown, &splitWhole, &splitShown}) {
          const PixelBuffer& a = p1->picture();
          int differing = 0;
          for (int y = 0; y < window.height; ++y)
            for (int x = 0; x < window.width; ++x) differing += a.at(x, y) != b.at(x, y);
          ASSERT_EQ(differing, 0) << (p1 == &shown        ? "window's walk"
                                      : p1 == &splitWhole ? "whole walk split"
                                                          : "window's walk split");
        }
      }
    }
  }
  // Windows that find two entities or more share their walk too.
  EXPECT_GT(split.made, 2 * 4 * 4);
}

// The texts of a split walk's second half draw in the style in effect where it begins:
// solid, once a line has been painted before, whatever style P1 had.
TEST(ShownEntities, ASplitWalkStartsItsSecondHalfInTheStyleInEffect) {
  Trazo control;
  ASSERT_EQ(control.onInitialize(), status::ok);
  ASSERT_EQ(control.AddLine(0, 0, 100, 0, 1, 0, {}), status::ok);
  for (int i = 0; i < 9; ++i) ASSERT_EQ(control.AddText(5 * i, 50 - 5 * i, 40, 0, 2, u"text", {}), status::ok);
  Store& store = const_cast<Store&>(control.store());
  RasterSurface serial, shared;
  CountedSplit split;
  split.setSplitFrom(2);
  split.use(shared, shared.raster());
  for (RasterSurface* p1 : {&serial, &shared}) {
    ASSERT_TRUE(p1->setPixelSize(300, 200));
    ASSERT_EQ(p1->setDrawStyle(kDrawStyleDash), status::ok);
    p1->raster().setThreads(2);
  }
  ASSERT_EQ(trazo::Reflash(store, serial), status::ok);
  ASSERT_EQ(trazo::Reflash(store, shared, nullptr, nullptr, &split), status::ok);
  ASSERT_EQ(split.made, 1);
  const PixelBuffer& a = serial.picture();
  const PixelBuffer& b = shared.picture();
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) differing += a.at(x, y) != b.at(x, y);
  EXPECT_EQ(differing, 0);
}

// Hands shapes on until the `failAt`-th (from 1), which fails as out of memory, as all after.
struct FailingEngine final : DeviceEngine {
  FailingEngine(DeviceEngine& to, int at) : inner(to), failAt(at) {}
  Status fill(Rgb colour) override { return inner.fill(colour); }
  Status line(const DeviceLine& line) override { return ++shapes >= failAt ? status::outOfMemory : inner.line(line); }
  Status round(const DeviceRound& round) override {
    return ++shapes >= failAt ? status::outOfMemory : inner.round(round);
  }
  bool keptWindow(double& left, double& top, double& width, double& height) const override {
    return inner.keptWindow(left, top, width, height);
  }
  DeviceEngine& inner;
  int failAt, shapes = 0;
};

struct FailingSplit final : RasterWalkSplit {
  explicit FailingSplit(int at) : failAt(at) {}
  DeviceEngine& frontOf(RasterEngine& second) override { return front.emplace(second, failAt); }
  int failAt;
  std::optional<FailingEngine> front;
};

// A failure ends the walk as it ends one walk: in the first half, nothing of the second
// half is kept; in the second, what it drew before stays, after all of the first, and the
// picture keeps the dash style the failing painter set.
TEST(ShownEntities, ASplitWalkStopsAtTheFirstFailureAsOneWalkDoes) {
  std::mt19937 random(11);
  Trazo control;
  ASSERT_EQ(control.onInitialize(), status::ok);
  fillRandomly(control, random, 300);
  Store& store = const_cast<Store&>(control.store());
  constexpr int never = 1 << 30;
  // The shapes each half hands over when nothing fails.
  int firstShapes = 0, secondShapes = 0;
  const auto splitWalk = [&](int firstFailsAt, int secondFailsAt, RasterSurface& p1) {
    FailingEngine first(p1.raster(), firstFailsAt);
    FailingSplit split(secondFailsAt);
    p1.raster().setThreads(2);
    p1.setEngine(&first);
    split.use(p1, p1.raster());
    split.setSplitFrom(2);
    const Status s = trazo::Reflash(store, p1, nullptr, nullptr, &split);
    p1.setEngine(&p1.raster());
    firstShapes = first.shapes;
    secondShapes = split.front ? split.front->shapes : 0;
    return s;
  };
  RasterSurface whole;
  ASSERT_TRUE(whole.setPixelSize(400, 300));
  ASSERT_EQ(splitWalk(never, never, whole), status::ok);
  ASSERT_GT(firstShapes, 10);
  ASSERT_GT(secondShapes, 10);
  const int first = firstShapes, second = secondShapes;
  const auto walkFailingAt = [&](int shape, RasterSurface& p1) {
    FailingEngine failing(p1.raster(), shape);
    p1.setEngine(&failing);
    const Status s = trazo::Reflash(store, p1);
    p1.setEngine(&p1.raster());
    return s;
  };
  // A failure in the second half inside a dashed painter: the walk ends in that dash, which
  // the picture keeps for what it draws next.
  int dashedFailure = second / 2;
  for (RasterSurface probe; dashedFailure < second; ++dashedFailure) {
    ASSERT_TRUE(probe.setPixelSize(400, 300));
    ASSERT_EQ(walkFailingAt(first + dashedFailure, probe), status::outOfMemory);
    if (probe.dash() != DashPattern::solid) break;
  }
  ASSERT_LT(dashedFailure, second);
  const struct {
    int firstFailsAt, secondFailsAt, oneWalkFailsAt;
  } cases[] = {{first / 2, never, first / 2}, {never, dashedFailure, first + dashedFailure}};
  for (const auto& c : cases) {
    SCOPED_TRACE("one walk fails at shape " + std::to_string(c.oneWalkFailsAt));
    RasterSurface serial, shared;
    ASSERT_TRUE(serial.setPixelSize(400, 300));
    ASSERT_TRUE(shared.setPixelSize(400, 300));
    ASSERT_EQ(walkFailingAt(c.oneWalkFailsAt, serial), status::outOfMemory);
    ASSERT_EQ(splitWalk(c.firstFailsAt, c.secondFailsAt, shared), status::outOfMemory);
    EXPECT_EQ(shared.dash(), serial.dash());
    const PixelBuffer& a = serial.raster().picture();
    const PixelBuffer& b = shared.picture();
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) differing += a.at(x, y) != b.at(x, y);
    EXPECT_EQ(differing, 0);
  }
}

}  // namespace
}  // namespace trazo
