// Reference images of the raster back end, one small PNG per feature in tests/images/,
// named for it, and one of the antialiased raster beside it (name_antialiased.png). Each case draws its feature into a
// 160 x 120 picture and must give the reference pixels exactly; with TRAZO_WRITE_IMAGES=<folder> set, it writes the
// pictures there instead, to be looked at and, once right, copied over the references.
#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"
#include "shells/png/png_codec.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace trazo {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

struct Feature {
  const char* name;
  // Draws through the control (and its Reflash) or straight onto the picture.
  std::function<void(Trazo&, RasterSurface&)> draw;
};

// A user system of 0..16 by 0..12 units, Y up, for features drawn onto the picture itself:
// the control never hands its surface a shape larger than the fitted drawing.
void tenPixelsToTheUnit(RasterSurface& p1) {
  (void)p1.cls();
  (void)p1.setScale(0, 12, 16, 0);
}

const std::vector<Feature> kFeatures = {
    {"dash_styles_and_reset",
     [](Trazo& t, RasterSurface&) {
       for (int lType = 0; lType <= 3; ++lType) (void)t.AddLine(0, 10 - 2 * lType, 14, 10 - 2 * lType, 3, lType, u"");
       (void)t.AddCircle(11, 2, 1.5, 4, 1, u"");
       (void)t.AddLine(0, 1, 6, 1, 5, 9, u"");  // an unknown line type after a dashed one: solid
       (void)t.AddText(0, 2.5, 1, 0, 6, u"txt", u"");
       (void)t.Reflash();
     }},
    {"six_colours",
     [](Trazo& t, RasterSurface&) {
       const std::int32_t cols[] = {1, 2, 3, 4, 5, 6, 0, 7, -3};
       for (int i = 0; i < 9; ++i) (void)t.AddBox(i * 2, 0, i * 2 + 1.5, 3 + i % 3, cols[i], 0, u"");
       (void)t.Reflash();
     }},
    {"arcs_in_each_quadrant",
     [](Trazo& t, RasterSurface&) {
       for (int q = 0; q < 4; ++q) (void)t.AddCircle2(q * 6, 0, 2.5, q * kPi / 2, (q + 1) * kPi / 2, q + 1, 0, u"");
       (void)t.AddBox(-3, -3, 21, 3, 6, 3, u"");
       (void)t.Reflash();
     }},
    {"arcs_across_plus_x",
     [](Trazo& t, RasterSurface&) {
       (void)t.AddCircle2(0, 0, 4, 3 * kPi / 2, kPi / 2, 3, 0, u"");
       (void)t.AddCircle2(0, 0, 3, 5, 1, 4, 1, u"");
       (void)t.AddCircle2(10, 0, 4, 6, 0.2, 2, 2, u"");
       (void)t.Reflash();
     }},
    {"arcs_negative_and_equal_angles",
     [](Trazo& t, RasterSurface&) {
       (void)t.AddCircle2(0, 0, 3, -0.5, 2, 1, 0, u"");          // a radius line to the start
       (void)t.AddCircle2(8, 0, 3, 1, -4, 2, 0, u"");            // to the end
       (void)t.AddCircle2(16, 0, 3, -1, -5.5, 3, 0, u"");        // to both
       (void)t.AddCircle2(24, 0, 3, 2, 2, 4, 0, u"");            // equal ends: the whole circle
       (void)t.AddCircle2(24, 0, 2, 8, 8 + 2 * kPi, 5, 0, u"");  // a turn apart: whole too
       (void)t.Reflash();
     }},
    {"huge_and_far_away_circles",
     [](Trazo&, RasterSurface& p1) {
       tenPixelsToTheUnit(p1);
       (void)p1.circle(8, 10 - 1e6f, 1e6f, {0, 255, 0});                // its top crosses the picture
       (void)p1.arc(-1e5f, 6, 1e5f + 4, {255, 255, 0}, -0.01f, 0.01f);  // an arc of a huge one
       (void)p1.setDrawStyle(kDrawStyleDash);
       (void)p1.circle(8, 6 + 3e4f, 3e4f + 4, {0, 255, 255});  // huge and dashed
       (void)p1.setDrawStyle(kDrawStyleSolid);
       (void)p1.circle(8, 6, 1e20f, {255, 0, 0});  // surrounds the picture
       (void)p1.circle(1e20f, 6, 5, {255, 0, 0});  // far away
       (void)p1.circle(8, 6, 2, {255, 0, 255});
     }},
    {"segments_far_outside",
     [](Trazo&, RasterSurface& p1) {
       tenPixelsToTheUnit(p1);
       (void)p1.line(-1e30f, 6, 1e30f, 6, {0, 255, 0});
       (void)p1.line(4, -3e38f, 4, 3e38f, {255, 255, 0});
       (void)p1.setDrawStyle(kDrawStyleDashDot);
       (void)p1.line(-1e6f, -1e6f, 1e6f, 1e6f, {0, 255, 255});
       (void)p1.line(1e7f, 2, -1e7f, 3, {255, 0, 255});
       (void)p1.setDrawStyle(kDrawStyleSolid);
       (void)p1.line(20, 20, 40, 30, {255, 0, 0});  // wholly outside: nothing
     }},
    {"text_boxes_at_several_angles",
     [](Trazo& t, RasterSurface&) {
       const double angles[] = {0, 30, 90, 180, -45, 135};
       for (int i = 0; i < 6; ++i) (void)t.AddText(i % 3 * 8, i / 3 * 8, 2, angles[i], i + 1, u"Abc", u"");
       (void)t.AddText(4, -4, 2, 10, 3, u"\u65e5\u672c", u"");  // double-byte: wider per character
       (void)t.Reflash();
     }},
    {"wide_pens",
     [](Trazo& t, RasterSurface& p1) {
       p1.setPen(penFor(3, kScreenDpi));
       (void)t.AddBox(0, 0, 6, 4, 2, 0, u"");
       (void)t.AddLine(8, 0, 15, 7, 3, 1, u"");  // dashed, flat ends
       (void)t.AddCircle(3, 9, 2.5, 4, 0, u"");
       (void)t.AddCircle2(11, 9, 3, 0.3, 2.6, 5, 3, u"");
       (void)t.Reflash();
     }},
};

struct Case {
  Feature feature;
  bool antialias;
  std::string name() const { return std::string(feature.name) + (antialias ? "_antialiased" : ""); }
  friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name(); }
};

std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (const bool antialias : {false, true})
    for (const Feature& f : kFeatures) cases.push_back({f, antialias});
  return cases;
}

std::string referencePath(const std::string& name) { return std::string(TRAZO_IMAGES_DIR) + "/" + name + ".png"; }

class ReferenceImage : public ::testing::TestWithParam<Case> {};

TEST_P(ReferenceImage, MatchesItsPicturePixelForPixel) {
  const Feature& f = GetParam().feature;
  const std::string name = GetParam().name();
  RasterSurface p1;
  ASSERT_TRUE(p1.setPixelSize(kWidth, kHeight));
  p1.setAntialias(GetParam().antialias);
  Trazo control;
  control.attachPicture(p1);
  ASSERT_EQ(control.onInitialize(), status::ok);
  f.draw(control, p1);
  const PixelBuffer& picture = p1.picture();

  if (const char* folder = std::getenv("TRAZO_WRITE_IMAGES")) {
    std::ofstream out(std::string(folder) + "/" + name + ".png", std::ios::binary);
    std::string error;
    ASSERT_TRUE(png::encodePng(
        picture, kScreenDpi,
        [&](const unsigned char* d, std::size_t n) {
          out.write(reinterpret_cast<const char*>(d), static_cast<std::streamsize>(n));
          return static_cast<bool>(out);
        },
        error))
        << error;
    GTEST_SKIP() << "written to " << folder;
  }
  std::ifstream in(referencePath(name), std::ios::binary);
  ASSERT_TRUE(in) << referencePath(name);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
  PixelBuffer reference;
  std::string error;
  ASSERT_TRUE(png::decodePng(bytes.data(), bytes.size(), reference, error)) << error;
  ASSERT_EQ(reference.width(), kWidth);
  ASSERT_EQ(reference.height(), kHeight);
  int differing = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) differing += picture.at(x, y) != reference.at(x, y);
  EXPECT_EQ(differing, 0) << name;
}

INSTANTIATE_TEST_SUITE_P(Features, ReferenceImage, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& p) { return p.param.name(); });

}  // namespace
}  // namespace trazo
