// Picking held to the raster itself. For random drawings of every kind, line type and pen,
// each pixel of the painted picture picks, at tolerance 0, the entity whose recolouring
// alone changes that pixel (the last one painted there), and a background pixel picks
// nothing. A tolerance finds what its disc holds; a rectangle selects by exact outlines;
// bad input finds nothing.
#include "control/trazo.hpp"
#include "picking/picker.hpp"
#include "raster/raster_surface.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace trazo {
namespace {

constexpr std::int32_t kMarked = 6;  // the one colour the random entities never have

struct Call {
  int kind;
  double v[5];
  std::int32_t col, lType;
};

std::vector<Call> randomCalls(std::mt19937& random, int count) {
  std::uniform_real_distribution<double> at(0, 100), size(0, 30), angle(-7, 7), unit(0, 1);
  std::uniform_int_distribution<int> kind(0, 9), lType(-1, 4), col(1, 5);
  std::vector<Call> calls;
  for (int i = 0; i < count; ++i) {
    const double x = at(random), y = at(random), s = size(random);
    Call c{kind(random), {x, y, s, angle(random), angle(random)}, col(random), lType(random)};
    if (c.kind == 9) c.v[2] = 2000 * unit(random);  // circles far larger than the picture
    calls.push_back(c);
  }
  return calls;
}

// Every call adds exactly one entity, so entity k + 1 is call k.
void add(Trazo& t, const Call& c, std::int32_t col) {
  const double* v = c.v;
  switch (c.kind) {
    case 0:
    case 1: (void)t.AddText(v[0], v[1], v[2] / 4, v[3] * 40, col, u"label", u"t"); break;
    case 2:
    case 3: (void)t.AddCircle(v[0], v[1], v[2] / 2, col, c.lType, u"c"); break;
    case 4:
    case 5: (void)t.AddCircle2(v[0], v[1], v[2], v[3], v[4], col, c.lType, u"a"); break;
    case 9: (void)t.AddCircle(v[0], v[1], v[2], col, c.lType, u"c"); break;
    default: (void)t.AddLine(v[0], v[1], v[0] + v[2], v[1] + v[3] * 5, col, c.lType, u"l"); break;
  }
}

struct Look {
  DevicePen pen;
  bool mapped;
};

// The drawing painted on a picture with `look`; entity `marked` (0 for none) in kMarked.
void paint(Trazo& control, RasterSurface& p1, const std::vector<Call>& calls, const Look& look, int width, int height,
           std::int32_t marked) {
  ASSERT_EQ(control.Clear(), status::ok);
  for (std::size_t k = 0; k < calls.size(); ++k)
    add(control, calls[k], static_cast<std::int32_t>(k + 1) == marked ? kMarked : calls[k].col);
  ASSERT_TRUE(p1.setPixelSize(width, height));
  p1.setPen(look.pen);
  ColourMap map;
  map.set({255, 255, 0}, {128, 128, 0});
  if (look.mapped) p1.setColourMap(map);
  control.attachPicture(p1);
  ASSERT_EQ(control.Reflash(), status::ok);
  control.detachPicture();
}

TEST(Picker, EveryPixelPicksTheEntityPaintedLastThere) {
  const Look looks[] = {{{1, 1}, false}, {{1, 2}, true}, {{3.5, 1}, false}, {{6, 2}, true}};
  const int width = 120, height = 90;
  std::mt19937 random(19);
  for (int round = 0; round < 8; ++round) {
    const Look& look = looks[round % 4];
    const std::vector<Call> calls = randomCalls(random, 12 + round * 6);
    SCOPED_TRACE("round " + std::to_string(round));
    Trazo control;
    ASSERT_EQ(control.onInitialize(), status::ok);
    RasterSurface p1;
    paint(control, p1, calls, look, width, height, 0);
    Picker picker;
    picker.painted(control.store(), p1);
    std::vector<std::int32_t> picked(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        picked[static_cast<std::size_t>(y * width + x)] = picker.entityAt(control.store(), x + 0.5, y + 0.5, 0);
    const PixelBuffer plain = p1.picture();
    const std::uint32_t background = pixelOf(p1.background());

    // Entity i is the last painted at a pixel exactly where marking it alone changes it.
    std::vector<int> marks(picked.size(), 0);
    for (std::int32_t i = 1; i <= static_cast<std::int32_t>(calls.size()); ++i) {
      Trazo other;
      ASSERT_EQ(other.onInitialize(), status::ok);
      RasterSurface marked;
      paint(other, marked, calls, look, width, height, i);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const std::size_t at = static_cast<std::size_t>(y * width + x);
          if (marked.picture().at(x, y) == plain.at(x, y)) continue;
          ++marks[at];
          ASSERT_EQ(picked[at], i) << "pixel " << x << ", " << y;
        }
      }
    }
    int inked = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::size_t at = static_cast<std::size_t>(y * width + x);
        inked += picked[at] != 0;
        if (picked[at] == 0) ASSERT_EQ(plain.at(x, y), background) << "pixel " << x << ", " << y;
        else
          ASSERT_EQ(marks[at], 1) << "pixel " << x << ", " << y << " picks " << picked[at] << " kind "
                                  << calls[static_cast<std::size_t>(picked[at] - 1)].kind;
      }
    }
    EXPECT_GT(inked, 0);
    // The outline an inked pixel belongs to passes within the pen's reach and a pixel of it.
    const double reach = look.pen.width / 2 + 1.5;
    std::vector<std::int32_t> near;
    for (std::size_t at = 0; at < picked.size(); at += 5) {
      if (picked[at] == 0) continue;
      const double x = static_cast<double>(at % width) + 0.5, y = static_cast<double>(at / width) + 0.5;
      ASSERT_EQ(picker.entitiesIn(control.store(), {x - reach, y - reach, 2 * reach, 2 * reach}, BoxSelection::crossing,
                                  near),
                status::ok);
      EXPECT_TRUE(std::binary_search(near.begin(), near.end(), picked[at])) << "pixel " << x << ", " << y;
    }
  }
}

TEST(Picker, ATolerancePicksTheLatestEntityInItsDisc) {
  std::mt19937 random(7);
  const int width = 100, height = 80;
  Trazo control;
  ASSERT_EQ(control.onInitialize(), status::ok);
  RasterSurface p1;
  paint(control, p1, randomCalls(random, 30), {{1, 1}, false}, width, height, 0);
  Picker picker;
  picker.painted(control.store(), p1);
  std::uniform_int_distribution<int> x(0, width - 1), y(0, height - 1);
  for (const double tolerance : {1.0, 2.5, 6.0}) {
    for (int n = 0; n < 300; ++n) {
      const int px = x(random), py = y(random);
      std::int32_t latest = 0;
      const int reach = static_cast<int>(tolerance);
      for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
          if (dx * dx + dy * dy <= tolerance * tolerance)
            latest = std::max(latest, picker.entityAt(control.store(), px + dx + 0.5, py + dy + 0.5));
      const std::int32_t found = picker.entityAt(control.store(), px + 0.5, py + 0.5, tolerance);
      // What is seen topmost at a pixel of the disc inks it; nothing is found only where
      // no pixel of the disc holds ink.
      EXPECT_GE(found, latest) << px << ", " << py << " within " << tolerance;
      EXPECT_EQ(found == 0, latest == 0) << px << ", " << py << " within " << tolerance;
    }
  }
}

TEST(Picker, RectanglesSelectByExactOutlines) {
  // 200 x 100 pixels over (0, 0)-(100, 50): two pixels a unit, Y down from 60 at the top.
  Trazo control;
  ASSERT_EQ(control.onInitialize(), status::ok);
  ASSERT_EQ(control.AddLine(10, 10, 30, 10, 1, 0, u"line"), status::ok);             // 1: x 30..70, y 100
  ASSERT_EQ(control.AddCircle(50, 38, 5, 2, 0, u"circle"), status::ok);              // 2
  ASSERT_EQ(control.AddCircle2(80, 25, 5, 0, 1.5707963, 3, 0, u"arc"), status::ok);  // 3: upper right quarter
  ASSERT_EQ(control.AddText(10, 40, 4, 0, 4, u"ab", u"text"), status::ok);           // 4: 4 x 4 units
  ASSERT_EQ(control.AddLine(0, 0, 100, 50, 5, 0, u"frame"), status::ok);             // 5: fixes the extents
  RasterSurface p1;
  ASSERT_TRUE(p1.setPixelSize(240, 120));
  control.attachPicture(p1);
  ASSERT_EQ(control.Reflash(), status::ok);
  Picker picker;
  picker.painted(control.store(), p1);
  const auto at = [&](double x, double y) { return picker.picture().toDevice(x, y); };
  const DevicePoint c = at(50, 38), a = at(80, 25), l = at(10, 10), t = at(10, 40);
  const double r = at(55, 38).x - c.x;
  struct Case {
    const char* what;
    PickRect rect;
    BoxSelection mode;
    std::vector<std::int32_t> expected;
  };
  const Case cases[] = {
      {"circle's bounding square", {c.x - r, c.y - r, 2 * r, 2 * r}, BoxSelection::inside, {2}},
      {"a little less than it", {c.x - r + 0.5, c.y - r, 2 * r, 2 * r}, BoxSelection::inside, {}},
      {"within the circle, off its outline", {c.x - 2, c.y - 2, 4, 4}, BoxSelection::crossing, {}},
      {"across its outline", {c.x + r - 1, c.y - 1, 2, 2}, BoxSelection::crossing, {2}},
      {"the arc's quarter", {a.x, a.y - r, r, r}, BoxSelection::inside, {3}},
      {"the arc's missing lower half", {a.x - r - 1, a.y + 1, 2 * r + 2, r}, BoxSelection::crossing, {}},
      {"left of the arc's sweep", {a.x - r - 1, a.y - r - 1, r / 2, r / 2}, BoxSelection::crossing, {}},
      {"the line's end", {l.x - 1, l.y - 1, 2, 2}, BoxSelection::crossing, {1}},
      {"the whole line, corner given last", {l.x + 40 + 1, l.y + 1, -42, -2}, BoxSelection::inside, {1}},
      {"inside the text box", {t.x + 1, t.y - 6, 4, 4}, BoxSelection::crossing, {}},
      {"the text box", {t.x, t.y - 8, 8, 8}, BoxSelection::inside, {4}},
      {"everything, in order", {-1, -1, 242, 122}, BoxSelection::crossing, {1, 2, 3, 4, 5}},
      {"not a number", {std::nan(""), 0, 10, 10}, BoxSelection::crossing, {}},
  };
  std::vector<std::int32_t> found;
  for (const Case& k : cases) {
    ASSERT_EQ(picker.entitiesIn(control.store(), k.rect, k.mode, found), status::ok) << k.what;
    EXPECT_EQ(found, k.expected) << k.what;
  }
}

TEST(Picker, BadInputFindsNothing) {
  Trazo control;
  ASSERT_EQ(control.onInitialize(), status::ok);
  ASSERT_EQ(control.AddBox(0, 0, 10, 10, 1, 0, u"box"), status::ok);
  RasterSurface p1;
  ASSERT_TRUE(p1.setPixelSize(50, 50));
  Picker picker;
  std::vector<std::int32_t> found{7};
  const PickRect all{0, 0, 50, 50};
  // Not painted yet.
  EXPECT_FALSE(picker.ready(control.store()));
  EXPECT_EQ(picker.entityAt(control.store(), 4.5, 4.5, 50), 0);
  EXPECT_EQ(picker.entitiesIn(control.store(), all, BoxSelection::crossing, found), status::ok);
  EXPECT_TRUE(found.empty());

  control.attachPicture(p1);
  ASSERT_EQ(control.Reflash(), status::ok);
  picker.painted(control.store(), p1);
  ASSERT_TRUE(picker.ready(control.store()));
  ASSERT_NE(picker.entityAt(control.store(), 25, 25, 64), 0);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const double points[][3] = {{-1, 25, 64},  {50, 25, 64}, {25, 1e300, 64}, {nan, 25, 64},
                              {25, inf, 64}, {25, 25, -1}, {25, 25, nan},   {25, 25, -inf}};
  for (const auto& [x, y, tolerance] : points)
    EXPECT_EQ(picker.entityAt(control.store(), x, y, tolerance), 0) << x << ", " << y << " within " << tolerance;
  // A huge tolerance is held to the largest; what is added after the paint is not seen.
  EXPECT_NE(picker.entityAt(control.store(), 25, 25, inf), 0);
  ASSERT_EQ(control.AddCircle(5, 5, 1, 1, 0, {}), status::ok);
  ASSERT_EQ(picker.entitiesIn(control.store(), all, BoxSelection::crossing, found), status::ok);
  EXPECT_EQ(found, (std::vector<std::int32_t>{1, 2, 3, 4}));
  // A cleared drawing is no longer the one painted.
  ASSERT_EQ(control.Clear(), status::ok);
  EXPECT_FALSE(picker.ready(control.store()));
  EXPECT_EQ(picker.entityAt(control.store(), 25, 25, 64), 0);
  picker.forget();
  EXPECT_EQ(picker.entitiesIn(control.store(), all, BoxSelection::crossing, found), status::ok);
  EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace trazo
