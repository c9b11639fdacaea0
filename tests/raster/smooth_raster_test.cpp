// The antialiased raster: how it blends, that its ink covers the aliased picture's and
// strays no further than a pixel from it, that straight lines, box corners and dash seams
// come out clean, and that its pixels never depend on the bands, threads or window.
#include "raster/blend.hpp"
#include "raster/raster_surface.hpp"
#include "tests/raster/random_drawing.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace trazo {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr std::uint32_t kBlack = 0xFF000000u;

std::uint32_t grey(int v) { return 0xFF000000u | static_cast<std::uint32_t>(v) * 0x010101u; }

TEST(SmoothBlend, WeighsEachChannelIn256thsRoundingHalfUp) {
  struct Case {
    std::uint32_t under, over, weight, out;
  };
  const Case cases[] = {
      {kBlack, 0xFFFFFFFFu, 0, kBlack},
      {kBlack, 0xFFFFFFFFu, 1, grey(1)},      // (255 + 128) / 256
      {kBlack, 0xFFFFFFFFu, 128, grey(128)},  // (255 * 128 + 128) / 256 = 128.0
      {kBlack, 0xFFFFFFFFu, 255, grey(254)},  // 65153 / 256
      {kBlack, 0xFFFFFFFFu, 256, 0xFFFFFFFFu},
      // Channels apart: red 0x10 -> 0xF0, green 0x20 -> 0xE0, blue 0x30 -> 0xD0 a quarter way.
      {0xFF102030u, 0xFFF0E0D0u, 64, 0xFF485058u},
      {0xFF123456u, 0xFF123456u, 77, 0xFF123456u},
  };
  for (const Case& c : cases) EXPECT_EQ(blendPixel(c.under, c.over, c.weight), c.out) << std::hex << c.out;
}

// Every pair of channel values at every weight, in every lane, beside lanes that move the
// other way (a packed sum must not let one lane's borrow or carry reach the next); the same
// for a step's two pixels blended together, each with its own weight.
TEST(SmoothBlend, EveryChannelPairAndWeightFollowsTheRule) {
  const auto rule = [](std::uint32_t u, std::uint32_t o, std::uint32_t w) {
    return (u * (256 - w) + o * w + 128) >> 8;
  };
  const auto pixel = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | r << 16 | g << 8 | b;
  };
  constexpr std::uint32_t kInks[] = {256, 128, 77, 0};
  constexpr std::uint32_t kNeighbour = 0xFF5A5A5Au;
  int wrong = 0;
  for (std::uint32_t w = 0; w <= 256; ++w) {
    for (std::uint32_t u = 0; u < 256; ++u) {
      for (std::uint32_t o = 0; o < 256; ++o) {
        const std::uint32_t v = 255 - u, p = 255 - o;
        if (blendPixel(pixel(u, v, u), pixel(p, o, p), w) != pixel(rule(u, p, w), rule(v, o, w), rule(u, p, w)))
          ++wrong;
        if (blendPixel(pixel(v, u, v), pixel(o, p, o), w) != pixel(rule(v, o, w), rule(u, p, w), rule(v, o, w)))
          ++wrong;
        // A step's pair, `w` as how far past the near pixel, at each ink a dash gives and
        // one it does not, the far pixel after, before and a row away from the near one.
        const std::uint32_t ink = kInks[(u * 7 + o) % 4];
        const int layout = static_cast<int>((u + o) % 3);
        std::uint32_t row[4] = {kNeighbour, kNeighbour, kNeighbour, kNeighbour};
        const int near = layout == 2 ? 0 : 1 + (layout == 1), far = layout == 2 ? 3 : 2 - (layout == 1);
        row[near] = pixel(u, v, u);
        row[far] = pixel(v, u, v);
        const PairBlend pen(pixel(p, o, p));
        if (layout == 0) pen.blend<FarPixel::next>(&row[near], 0, w, ink);
        if (layout == 1) pen.blend<FarPixel::previous>(&row[near], 0, w, ink);
        if (layout == 2) pen.blend<FarPixel::apart>(&row[near], far - near, w, ink);
        const std::uint32_t n = nearWeight(w, ink), f = farWeight(w, ink);
        if (row[near] != pixel(rule(u, p, n), rule(v, o, n), rule(u, p, n)) ||
            row[far] != pixel(rule(v, p, f), rule(u, o, f), rule(v, p, f)))
          ++wrong;
        for (int i = 0; i < 4; ++i)
          if (i != near && i != far && row[i] != kNeighbour) ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

using Pixels = std::vector<std::uint32_t>;

// A 300 x 200 picture of the random drawing in white on black, through `pen`.
Pixels randomDrawing(bool antialias, DevicePen pen, int bandRows = 128, int threads = 1,
                     PixelWindow window = {0, 0, 300, 200}) {
  RasterSurface p1;
  EXPECT_TRUE(p1.setPixelWindow(300, 200, window));
  p1.setAntialias(antialias);
  p1.setPen(pen);
  p1.raster().setBandRows(bandRows);
  p1.raster().setThreads(threads);
  (void)p1.setScale(0, 200, 300, 0);
  (void)p1.cls();
  testing::drawRandomShapes(p1, 5, 900, &kWhite);
  const PixelBuffer& b = p1.picture();
  return Pixels(b.data(), b.data() + static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height()));
}

const DevicePen kPens[] = {penFor(1, 96), penFor(1, 192), penFor(2.5, 96), penFor(6, 96)};

// No lost segments, no gaps between dashes: every aliased pixel has ink; and no ink more than
// a pixel from the aliased picture's.
TEST(SmoothRaster, InkCoversTheAliasedInkAndStraysNoFurtherThanAPixel) {
  for (const DevicePen& pen : kPens) {
    const Pixels aliased = randomDrawing(false, pen), smooth = randomDrawing(true, pen);
    int lost = 0, stray = 0, inked = 0;
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 300; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * 300 + static_cast<std::size_t>(x);
        inked += aliased[at] != kBlack;
        lost += aliased[at] != kBlack && smooth[at] == kBlack;
        if (smooth[at] == kBlack) continue;
        bool near = false;
        for (int v = std::max(y - 1, 0); v <= std::min(y + 1, 199); ++v)
          for (int u = std::max(x - 1, 0); u <= std::min(x + 1, 299); ++u)
            near = near || aliased[static_cast<std::size_t>(v) * 300 + static_cast<std::size_t>(u)] != kBlack;
        // On the picture's edge the aliased pixel may lie just outside.
        stray += !near && x > 0 && y > 0 && x < 299 && y < 199;
      }
    }
    EXPECT_GT(inked, 5000) << pen.width;
    EXPECT_EQ(lost, 0) << "pen " << pen.width << ", unit " << pen.dashUnit;
    EXPECT_EQ(stray, 0) << "pen " << pen.width << ", unit " << pen.dashUnit;
  }
}

TEST(SmoothRaster, NeverChangesAPixelWithTheBandsThreadsOrWindow) {
  for (const DevicePen& pen : kPens) {
    const Pixels reference = randomDrawing(true, pen, 256, 1);
    for (const auto& [rows, threads] : std::vector<std::pair<int, int>>{{1, 1}, {7, 2}, {64, 3}, {13, 8}})
      EXPECT_EQ(randomDrawing(true, pen, rows, threads), reference) << rows << " rows, " << threads << " threads";
    const PixelWindow w{37, 21, 150, 90};
    const Pixels part = randomDrawing(true, pen, 16, 2, w);
    int differing = 0;
    for (int y = 0; y < w.height; ++y)
      for (int x = 0; x < w.width; ++x)
        differing += part[static_cast<std::size_t>(y * w.width + x)] !=
                     reference[static_cast<std::size_t>((y + w.top) * 300 + x + w.left)];
    EXPECT_EQ(differing, 0) << "pen " << pen.width;
  }
}

// A picture of w x h whose user units are its pixels, Y down, white on black.
struct Picture {
  Picture(int w, int h, bool antialias) {
    EXPECT_TRUE(p1.setPixelSize(w, h));
    p1.setAntialias(antialias);
    (void)p1.setScale(0, 0, w, h);
    (void)p1.cls();
  }
  Pixels pixels() {
    const PixelBuffer& b = p1.picture();
    return Pixels(b.data(), b.data() + static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height()));
  }
  RasterSurface p1;
};

TEST(SmoothRaster, DrawsStraightLinesAndAxisBoxesAsTheAliasedOnesAndCornersOnce) {
  const auto draw = [](Surface& p1) {
    (void)p1.line(2.5f, 3.5f, 60.5f, 3.5f, kWhite);
    (void)p1.line(5.5f, 8.5f, 5.5f, 50.5f, kWhite);
    (void)p1.line(10.5f, 10.5f, 40.5f, 40.5f, kWhite);
    (void)p1.line(70.5f, 10.5f, 45.5f, 35.5f, kWhite);
    for (const auto& [x1, y1, x2, y2] : std::vector<std::array<float, 4>>{{20.5f, 45.5f, 60.5f, 45.5f},
                                                                          {60.5f, 45.5f, 60.5f, 58.5f},
                                                                          {60.5f, 58.5f, 20.5f, 58.5f},
                                                                          {20.5f, 58.5f, 20.5f, 45.5f}})
      (void)p1.line(x1, y1, x2, y2, kWhite);
  };
  Picture aliased(80, 64, false), smooth(80, 64, true);
  draw(aliased.p1);
  draw(smooth.p1);
  EXPECT_EQ(smooth.pixels(), aliased.pixels());

  // A box at an angle: each corner pixel is the colour itself, not drawn over twice.
  Picture turned(80, 80, true);
  const float corners[5][2] = {{10.5f, 30.5f}, {50.5f, 8.5f}, {70.5f, 50.5f}, {30.5f, 72.5f}, {10.5f, 30.5f}};
  for (int i = 0; i < 4; ++i)
    (void)turned.p1.line(corners[i][0], corners[i][1], corners[i + 1][0], corners[i + 1][1], kWhite);
  const Pixels t = turned.pixels();
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(t[static_cast<std::size_t>(static_cast<int>(corners[i][1]) * 80 + static_cast<int>(corners[i][0]))],
              0xFFFFFFFFu)
        << i;
  // Between the corners each column of the upper left side shares one pixel's ink between
  // two rows.
  for (int x = 20; x < 49; ++x) {
    int sum = 0;
    for (int y = 0; y < 30; ++y) sum += static_cast<int>(t[static_cast<std::size_t>(y * 80 + x)] & 0xFFu);
    EXPECT_NEAR(sum, 255, 1) << x;
  }
}

// Each step of a ring shares its ink between the pixel at its distance out and the next,
// by the distance's fraction in 256ths: small rings (their numbers made once), larger ones
// (distances worked out per ring, across bands) and the largest (worked out per step).
TEST(SmoothRaster, SplitsEachStepOfARingAtItsDistanceOut) {
  for (const int r : {6, 127, 128, 300, 500}) {
    const int size = 2 * r + 8, c = r + 4;
    Picture ring(size, size, true);
    DeviceRound round;
    round.cx = round.cy = c + 0.5;
    round.r = r;
    round.colour = kWhite;
    (void)ring.p1.raster().round(round);
    const Pixels p = ring.pixels();
    const auto at = [&](int x, int y) {
      return p[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)];
    };
    const auto white = [](std::int64_t w) { return grey(static_cast<int>((255 * w + 128) >> 8)); };
    // The first octant, from the axis to the right up to half way to the diagonal.
    for (int k = 0; k <= r / 2; ++k) {
      const auto d = static_cast<std::int64_t>(std::sqrt(static_cast<double>(r * r - k * k)) * 256);
      const int x = c + static_cast<int>(d >> 8);
      ASSERT_EQ(at(x, c - k), white(256 - (d & 255))) << r << " " << k;
      ASSERT_EQ(at(x + 1, c - k), white(d & 255)) << r << " " << k;
    }
  }
}

TEST(SmoothRaster, SoftensDashEndsAndLeavesNoSeamWhereALineGoesOn) {
  // 18 on, 6 off: half ink on the first and last pixel of each dash, full between.
  Picture one(60, 4, true), two(60, 4, true);
  (void)one.p1.setDrawStyle(kDrawStyleDash);
  (void)one.p1.line(0.5f, 1.5f, 59.5f, 1.5f, kWhite);
  const Pixels row = one.pixels();
  for (int x = 0; x < 60; ++x) {
    const int at = x % 24;
    const std::uint32_t expected = at >= 18 ? kBlack : (at == 0 || at == 17) ? grey(128) : 0xFFFFFFFFu;
    EXPECT_EQ(row[static_cast<std::size_t>(60 + x)], expected) << x;
  }
  // The same line in two pieces, the second going on with the pattern where the first left
  // off, as the device hands on a cut line.
  DeviceLine first{0.5, 1.5, 29.5, 1.5, kWhite, DashPattern::dash, 0, {}};
  DeviceLine second{30.5, 1.5, 59.5, 1.5, kWhite, DashPattern::dash, 30 % 24, {}};
  (void)two.p1.raster().fill({});
  (void)two.p1.raster().line(first);
  (void)two.p1.raster().line(second);
  EXPECT_EQ(two.pixels(), row);
}

}  // namespace
}  // namespace trazo
