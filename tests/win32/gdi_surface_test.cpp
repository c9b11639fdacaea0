// P1's GDI surface off screen, as a control made without a container uses it: units in
// twips at the display's logical resolution, the Scale mapping, Cls, lines, circles and
// dash styles in pixels, and bad input (non-finite or huge coordinates, bad placements)
// that must neither fail nor draw nonsense.
#include "check.hpp"

#include "gdi_surface.hpp"

#include <cmath>
#include <limits>

using namespace trazo;
using trazo::win32::GdiSurface;

namespace {

constexpr Rgb kRed{255, 0, 0};
const COLORREF kRedRef = RGB(255, 0, 0);

int inkCount(const GdiSurface& s) {
  int n = 0;
  for (int y = 0; y < s.pixelHeight(); ++y)
    for (int x = 0; x < s.pixelWidth(); ++x) n += s.pixel(x, y) != win32::kBackground;
  return n;
}

// A picture 200 x 100 pixels whose units are pixels with Y up: (x, y) is pixel (x, 100 - y).
void pixelUnits(GdiSurface& s) {
  const win32::LogicalDpi dpi = win32::displayDpi();
  s.setWidth(static_cast<float>(200.0 * 1440 / dpi.x));
  s.setHeight(static_cast<float>(100.0 * 1440 / dpi.y));
  s.setScale(0, 100, 200, 0);
  s.cls();
}

void units() {
  const char* g = "units";
  const win32::LogicalDpi dpi = win32::displayDpi();
  GdiSurface s(4800, 3600);
  CHECK(g, s.pixelWidth() == std::lround(4800.0 * dpi.x / 1440));
  CHECK(g, s.pixelHeight() == std::lround(3600.0 * dpi.y / 1440));
  float w = 0, h = 0;
  s.scaleWidth(w);
  s.scaleHeight(h);
  CHECK(g, std::fabs(w - s.pixelWidth() * 1440.0 / dpi.x) < 0.01);
  CHECK(g, std::fabs(h - s.pixelHeight() * 1440.0 / dpi.y) < 0.01);
  CHECK(g, s.setScaleMode(3) == status::invalidCall);  // only twips
  CHECK(g, s.setScaleMode(kScaleModeTwips) == status::ok);

  // Scale (0, 10)-(20, 0): Y grows upward, ScaleHeight is negative.
  s.setScale(0, 10, 20, 0);
  s.scaleWidth(w);
  s.scaleHeight(h);
  CHECK(g, w == 20 && h == -10);
  float x = 0, y = 0;
  s.pixelToUnits(0, 0, x, y);
  CHECK(g, x == 0 && y == 10);
  s.pixelToUnits(s.pixelWidth(), s.pixelHeight(), x, y);
  CHECK(g, std::fabs(x - 20) < 1e-4 && std::fabs(y) < 1e-4);
  s.setScaleMode(kScaleModeTwips);  // back to twips
  s.scaleWidth(w);
  CHECK(g, w > 1000);
}

void drawing() {
  const char* g = "drawing";
  GdiSurface s(1000, 1000);
  pixelUnits(s);
  CHECK(g, s.pixelWidth() == 200 && s.pixelHeight() == 100);
  CHECK(g, inkCount(s) == 0);  // Cls leaves only background
  CHECK(g, s.line(10, 50, 190, 50, kRed) == status::ok);
  CHECK(g, s.pixel(100, 50) == kRedRef && s.pixel(100, 40) == win32::kBackground);
  // A circle of radius 20 round (100, 50): ink at the rim, none at the centre.
  s.cls();
  CHECK(g, s.circle(100, 50, 20, kRed) == status::ok);
  CHECK(g, s.pixel(120, 50) == kRedRef || s.pixel(119, 50) == kRedRef);
  CHECK(g, s.pixel(100, 30) == kRedRef || s.pixel(100, 31) == kRedRef);  // the top: y = 70
  CHECK(g, s.pixel(100, 50) == win32::kBackground);
  s.cls();
  CHECK(g, inkCount(s) == 0);

  // Solid is continuous; dash styles leave gaps in one-pixel lines.
  for (const std::int32_t style : {kDrawStyleSolid, kDrawStyleDash, kDrawStyleDashDot, kDrawStyleDashDotDot}) {
    s.cls();
    s.setDrawStyle(style);
    s.line(0, 50, 200, 50, kRed);
    int gaps = 0;
    for (int x = 10; x < 190; ++x) gaps += s.pixel(x, 50) != kRedRef;
    std::printf("     style %d: %d gaps\n", static_cast<int>(style), gaps);
    CHECK(g, style == kDrawStyleSolid ? gaps == 0 : gaps > 20);
  }
  s.setDrawStyle(kDrawStyleSolid);
}

void badInput() {
  const char* g = "bad input";
  GdiSurface s(1000, 1000);
  pixelUnits(s);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  CHECK(g, s.line(nan, 0, 10, 10, kRed) == status::ok);
  CHECK(g, s.line(0, 0, inf, 10, kRed) == status::ok);
  CHECK(g, s.circle(inf, 50, 10, kRed) == status::ok);
  CHECK(g, s.circle(100, 50, nan, kRed) == status::ok);
  CHECK(g, s.arc(100, 50, 10, kRed, nan, 1) == status::ok);
  CHECK(g, s.arc(100, 50, 1e30f, kRed, 0, 1) == status::ok);
  CHECK(g, inkCount(s) == 0);  // none of these drew anything

  // A line far beyond the picture still shows the part that crosses it.
  CHECK(g, s.line(-1e30f, 50, 1e30f, 50, kRed) == status::ok);
  CHECK(g, s.pixel(5, 50) == kRedRef && s.pixel(195, 50) == kRedRef);

  // A degenerate Scale maps everything to non-finite pixels: nothing drawn, nothing fails.
  s.cls();
  s.setScale(0, 0, 0, 0);
  CHECK(g, s.line(1, 1, 2, 2, kRed) == status::ok && s.circle(1, 1, 1, kRed) == status::ok);

  // Placements: no negative or non-finite sizes; a zero size is a picture of no pixels.
  CHECK(g, s.setWidth(-15) == status::invalidCall);
  CHECK(g, s.setHeight(nan) == status::invalidCall);
  CHECK(g, s.setLeft(inf) == status::invalidCall);
  CHECK(g, s.pixelWidth() == 200);  // a refused placement changed nothing
  CHECK(g, s.setWidth(0) == status::ok && s.pixelWidth() == 0);
  CHECK(g, s.cls() == status::ok && s.line(0, 0, 1, 1, kRed) == status::ok);
  float w = -1;
  s.setScaleMode(kScaleModeTwips);
  s.scaleWidth(w);
  CHECK(g, w == 0);
}

}  // namespace

int wmain() {
  units();
  drawing();
  badInput();
  return wintest::finish();
}
