// P1's raster picture off screen, as a control made without a container uses it: units in
// twips at the display's logical resolution, the Scale mapping and the pointer's position,
// Cls, lines, circles and dash styles in pixels, the picture put on a device context pixel
// for pixel, the bands on Windows threads, and bad input (non-finite or huge coordinates, bad
// placements) that must neither fail nor draw nonsense.
#include "check.hpp"
#include "dib_target.hpp"

#include "control_picture.hpp"
#include "thread_band_runner.hpp"

#include "control/trazo.hpp"
#include "support/placement_cases.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <vector>

using namespace trazo;
using trazo::win32::ControlPicture;
using trazo::wintest::DibTarget;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr std::uint32_t kRedPixel = pixelOf(kRed);
constexpr std::uint32_t kBackgroundPixel = pixelOf(win32::kBackground);

std::uint32_t pixel(ControlPicture& s, int x, int y) { return s.picture().at(x, y); }

int inkCount(ControlPicture& s) {
  const PixelBuffer& p = s.picture();
  int n = 0;
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) n += p.at(x, y) != kBackgroundPixel;
  return n;
}

// A picture 200 x 100 pixels whose units are pixels with Y up: (x, y) is pixel (x, 100 - y).
void pixelUnits(ControlPicture& s) {
  s.resizeCanvas(200, 100);
  s.setScale(0, 100, 200, 0);
  s.cls();
}

void units() {
  const char* g = "units";
  const win32::LogicalDpi dpi = win32::displayDpi();
  ControlPicture s(4800, 3600);
  CHECK(g, s.pixelWidth() == std::lround(4800.0 * dpi.x / 1440));
  CHECK(g, s.pixelHeight() == std::lround(3600.0 * dpi.y / 1440));
  CHECK(g, s.picture().width() == s.pixelWidth() && s.picture().height() == s.pixelHeight());
  float w = 0, h = 0;
  s.scaleWidth(w);
  s.scaleHeight(h);
  CHECK(g, std::fabs(w - s.pixelWidth() * 1440.0 / dpi.x) < 0.01);
  CHECK(g, std::fabs(h - s.pixelHeight() * 1440.0 / dpi.y) < 0.01);
  CHECK(g, s.setScaleMode(3) == status::invalidCall);  // only twips
  CHECK(g, s.setScaleMode(kScaleModeTwips) == status::ok);
  // In twips a pixel is 1440 / dpi of them.
  CHECK(g, std::fabs(s.fromDevice(10, 20).x - 10 * 1440.0 / dpi.x) < 1e-9);

  // Scale (0, 10)-(20, 0): Y grows upward, ScaleHeight is negative.
  s.setScale(0, 10, 20, 0);
  s.scaleWidth(w);
  s.scaleHeight(h);
  CHECK(g, w == 20 && h == -10);
  DevicePoint at = s.fromDevice(0, 0);
  CHECK(g, at.x == 0 && at.y == 10);
  at = s.fromDevice(s.pixelWidth(), s.pixelHeight());
  CHECK(g, std::fabs(at.x - 20) < 1e-9 && std::fabs(at.y) < 1e-9);
  s.setScaleMode(kScaleModeTwips);  // back to twips
  s.scaleWidth(w);
  CHECK(g, w > 1000);
}

void drawing() {
  const char* g = "drawing";
  ControlPicture s(1000, 1000);
  pixelUnits(s);
  CHECK(g, s.pixelWidth() == 200 && s.pixelHeight() == 100);
  CHECK(g, inkCount(s) == 0);  // Cls leaves only background
  CHECK(g, s.line(10, 50, 190, 50, kRed) == status::ok);
  CHECK(g, pixel(s, 100, 50) == kRedPixel && pixel(s, 100, 40) == kBackgroundPixel);
  // A circle of radius 20 round (100, 50): ink at the rim, none at the centre.
  s.cls();
  CHECK(g, s.circle(100, 50, 20, kRed) == status::ok);
  CHECK(g, pixel(s, 120, 50) == kRedPixel || pixel(s, 119, 50) == kRedPixel);
  CHECK(g, pixel(s, 100, 30) == kRedPixel || pixel(s, 100, 31) == kRedPixel);  // the top: y = 70
  CHECK(g, pixel(s, 100, 50) == kBackgroundPixel);
  s.cls();
  CHECK(g, inkCount(s) == 0);

  // Solid is continuous; dash styles leave gaps in one-pixel lines.
  for (const std::int32_t style : {kDrawStyleSolid, kDrawStyleDash, kDrawStyleDashDot, kDrawStyleDashDotDot}) {
    s.cls();
    s.setDrawStyle(style);
    s.line(0, 50, 200, 50, kRed);
    int gaps = 0;
    for (int x = 10; x < 190; ++x) gaps += pixel(s, x, 50) != kRedPixel;
    std::printf("     style %d: %d gaps\n", static_cast<int>(style), gaps);
    CHECK(g, style == kDrawStyleSolid ? gaps == 0 : gaps > 20);
  }
  s.setDrawStyle(kDrawStyleSolid);
}

void presenting() {
  const char* g = "presenting";
  ControlPicture s(1000, 1000);
  pixelUnits(s);
  s.line(10, 50, 190, 50, kRed);
  s.circle(100, 50, 30, Rgb{0, 255, 128});
  DibTarget same(200, 100);
  if (!CHECK(g, same.ready())) return;
  s.present(same.dc());
  CHECK(g, same.sameAs(s.picture()));  // every pixel as the buffer has it
  CHECK(g, GetPixel(same.dc(), 100, 50) == RGB(255, 0, 0));
  same.clear();
  s.present(same.dc(), RECT{0, 0, 200, 100});  // into bounds of its own size: the same pixels
  CHECK(g, same.sameAs(s.picture()));
  // Twice the size: each pixel becomes two by two.
  DibTarget doubled(400, 200);
  s.present(doubled.dc(), RECT{0, 0, 400, 200});
  CHECK(g, doubled.rgb(200, 100) == 0xFF0000u && doubled.rgb(201, 101) == 0xFF0000u);
  CHECK(g, doubled.rgb(200, 102) == 0 && doubled.rgb(200, 98) == 0);
}

// Many long lines: enough work for the picture to be drawn in bands on threads.
void busyDrawing(ControlPicture& s) {
  s.cls();
  for (int i = 0; i < 3000; ++i) {
    const float t = static_cast<float>(i);
    s.setDrawStyle(i % 5);
    s.line(std::fmod(t * 7.3f, 200.0f), 0, std::fmod(t * 3.1f, 200.0f), 100,
           Rgb{static_cast<std::uint8_t>(i), 200, 40});
    s.arc(100, 50, std::fmod(t, 90.0f), kRed, t, t * 0.5f);
  }
}

void threads() {
  const char* g = "threads";
  win32::ThreadBandRunner& runner = win32::threadBandRunner();
  std::printf("     %d processors\n", runner.parallelism());
  CHECK(g, runner.parallelism() >= 1);

  // Each band once, band 0 on the caller, on no more threads than asked, done before run
  // returns; two callers at once share the workers.
  struct Bands final : BandWork {
    std::vector<std::atomic<int>> calls = std::vector<std::atomic<int>>(70);
    std::vector<DWORD> thread = std::vector<DWORD>(70);
    int shared = 0;
    void draw(int band) override {
      Sleep(1);
      thread[band] = GetCurrentThreadId();
      ++calls[band];
    }
    static DWORD WINAPI second(void* bands) {
      auto& b = *static_cast<Bands*>(bands);
      b.shared = win32::threadBandRunner().run(static_cast<int>(b.calls.size()), 3, b);
      return 0;
    }
  } bands, other;
  HANDLE second = CreateThread(nullptr, 0, Bands::second, &other, 0, nullptr);
  CHECK(g, second != nullptr);
  const int used = runner.run(static_cast<int>(bands.calls.size()), 4, bands);
  WaitForSingleObject(second, INFINITE);
  CloseHandle(second);
  for (const Bands* b : {&bands, &other}) {
    bool once = true;
    for (const auto& c : b->calls) once = once && c == 1;
    CHECK(g, once);
  }
  std::printf("     %d and %d threads\n", used, other.shared);
  CHECK(g, used >= 1 && used <= 4 && other.shared >= 1 && other.shared <= 3);
  CHECK(g, std::set<DWORD>(bands.thread.begin(), bands.thread.end()).size() <= 4);
  CHECK(g, bands.thread[0] == GetCurrentThreadId());

  // The picture's pixels do not depend on how many threads draw it.
  ControlPicture s(3000, 1500);
  pixelUnits(s);
  s.raster().setBandRows(8);
  s.raster().setThreads(1);
  busyDrawing(s);
  const PixelBuffer alone = s.picture();
  CHECK(g, s.raster().lastWorkers() == 1);
  s.raster().setThreads(0);
  busyDrawing(s);
  const PixelBuffer& shared = s.picture();
  std::printf("     %d workers\n", s.raster().lastWorkers());
  CHECK(g, s.raster().lastWorkers() == std::min(runner.parallelism(), 13));  // 100 rows in bands of 8
  CHECK(g, inkCount(s) > 5000);
  CHECK(g, std::memcmp(alone.data(), shared.data(), 200 * 100 * sizeof(std::uint32_t)) == 0);
}

void badInput() {
  const char* g = "bad input";
  ControlPicture s(1000, 1000);
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
  CHECK(g, pixel(s, 5, 50) == kRedPixel && pixel(s, 195, 50) == kRedPixel);

  // A degenerate Scale maps everything to non-finite pixels: nothing drawn, nothing fails.
  s.cls();
  s.setScale(0, 0, 0, 0);
  CHECK(g, s.line(1, 1, 2, 2, kRed) == status::ok && s.circle(1, 1, 1, kRed) == status::ok);
  CHECK(g, inkCount(s) == 0);

  // Placements: no negative, non-finite or far-away ones; a zero size is a picture of no
  // pixels.
  Trazo core;
  core.placement().attach(&s, s.dpi().x, s.dpi().y);
  CHECK(g, core.placement().setWidth(static_cast<float>(pixelsToTwips(200, s.dpi().x))) == status::ok);
  CHECK(g, core.placement().setWidth(-15) == status::invalidCall);
  CHECK(g, core.placement().setHeight(nan) == status::invalidCall);
  CHECK(g, core.placement().setLeft(inf) == status::invalidCall);
  CHECK(g, core.placement().setTop(1e30f) == status::invalidCall);
  CHECK(g, s.pixelWidth() == 200);  // a refused placement changed nothing
  CHECK(g, core.placement().setWidth(0) == status::ok && s.pixelWidth() == 0 && s.picture().width() == 0);
  CHECK(g, s.cls() == status::ok && s.line(0, 0, 1, 1, kRed) == status::ok);
  DibTarget target(10, 10);
  target.clear();
  s.present(target.dc());  // nothing to show, nothing shown
  s.present(target.dc(), RECT{0, 0, 10, 10});
  CHECK(g, target.rgb(0, 0) == 0xFFFFFFu && target.rgb(9, 9) == 0xFFFFFFu);
  float w = -1;
  s.setScaleMode(kScaleModeTwips);
  s.scaleWidth(w);
  CHECK(g, w == 0);
}

// The table of placements every shell runs: without a window the picture takes the size the
// control gives; with one, the window moves and sizes to the control's pixels, as far as
// Windows holds them (window coordinates within 16 bits).
void placementTable() {
  const char* g = "placement table";
  const std::vector<testing::PlacementCase> cases = testing::placementCases();
  CHECK(g, cases.size() > 20);
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  if (!CHECK(g, parent != nullptr)) return;
  const auto held = [](std::int32_t v) { return std::clamp<std::int32_t>(v, -32768, 32767); };
  int steps = 0, wrong = 0;
  for (const bool windowed : {false, true}) {
    for (const testing::PlacementCase& c : cases) {
      ControlPicture s(0, 0);
      HWND window = nullptr;
      if (windowed) {
        window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
        s.attachWindow(window);
      }
      Trazo core;
      core.placement().attach(&s, testing::kPlacementCasesDpi, testing::kPlacementCasesDpi);
      for (const testing::PlacementStep& step : c.steps) {
        const Status status = testing::assign(core.placement(), step);
        const PixelPlacement& e = step.expected;
        RECT at{};
        bool right = step.line != 0 && status == (step.refused ? status::invalidCall : status::ok);
        if (windowed) {
          right = right && window != nullptr && GetWindowRect(window, &at);
          MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&at), 2);
          right = right && at.left == held(e.left) && at.top == held(e.top) && at.right - at.left == held(e.width) &&
                  at.bottom - at.top == held(e.height);
        } else {
          at = {0, 0, s.pixelWidth(), s.pixelHeight()};
          right = right && s.pixelWidth() == e.width && s.pixelHeight() == e.height;
        }
        ++steps;
        if (!right) {
          ++wrong;
          std::printf("     %s, line %d, %s: at %ld %ld, %ld x %ld\n", c.name.c_str(), step.line,
                      windowed ? "window" : "picture", at.left, at.top, at.right - at.left, at.bottom - at.top);
        }
      }
      if (window != nullptr) DestroyWindow(window);
    }
  }
  std::printf("     %d steps, %d wrong\n", steps, wrong);
  CHECK(g, steps > 0 && wrong == 0);
  DestroyWindow(parent);
}

}  // namespace

int wmain() {
  units();
  drawing();
  presenting();
  threads();
  badInput();
  placementTable();
  return wintest::finish();
}
