// The painting engine on the mixed drawing in a 1920 x 1080 picture, antialiasing off:
//   - the raster back end against the Qt surface (QPainter through the same device
//     geometry), one thread each: how much faster the raster is (goal: at least 6);
//   - the raster back end on one thread against a bare loop that draws the same shapes,
//     already in device pixels and clipped, solid, with no dash pattern and no geometry:
//     how close the raster comes to the cost of its pixels (goal: at most 2);
//   - the raster back end on all cores against one thread, the whole repaint and the raster
//     step alone (goal: at least 1.7 on 2 cores);
//   - the Qt surface against a plain QPainter loop of the same primitives (what the
//     geometry costs on top of QPainter);
//   - the raster step of a 1920 x 1080 window into the drawing zoomed 1000 times (P1 grown
//     a thousandfold, only the window rastered, as the viewer zooms), on one thread and on
//     all cores: circles far larger than the window, of which each band draws its rows.
// Each pair runs back to back in every iteration and is timed by wall clock, so that a busy
// machine slows both alike; the ratio of the sums is what counts.
#include "bench/mixed_control.hpp"
#include "bench/paired_runs.hpp"
#include "bench/qt_painter_reflash.hpp"
#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "device/portable_trig.hpp"
#include "raster/raster_surface.hpp"
#include "shells/qt/painter_engine.hpp"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRectF>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace trazo::bench {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A control holding the drawing, with a raster picture and a QPainter picture of its size.
struct Fixture {
  Trazo control;
  RasterSurface raster;
  DeviceSurface vector;
  qt::PainterEngine painter;
  std::size_t entities = 0;
  // The window at the middle of P1 zoomed kZoom times.
  RasterSurface zoomed;
};

constexpr int kZoom = 1000;

Fixture& fixtureFor(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<Fixture>> fixtures;
  auto& slot = fixtures[count];
  if (!slot) {
    slot = std::make_unique<Fixture>();
    Trazo& c = slot->control;
    (void)c.onInitialize();
    (void)addMixedDrawing(c, mixedDrawing(count));
    slot->entities = count;
    (void)slot->raster.setPixelSize(kWidth, kHeight);
    (void)slot->zoomed.setPixelWindow(
        kWidth * kZoom, kHeight * kZoom,
        {(kWidth * kZoom - kWidth) / 2, (kHeight * kZoom - kHeight) / 2, kWidth, kHeight});
    slot->vector.setDevice(kWidth, kHeight, kScreenDpi, kScreenDpi);
    slot->vector.setEngine(&slot->painter);
  }
  return *slot;
}

void rasterReflash(Fixture& f, int threads) {
  f.raster.raster().setThreads(threads);
  f.control.attachPicture(f.raster);
  benchmark::DoNotOptimize(f.control.Reflash());
  benchmark::DoNotOptimize(f.raster.picture().data());
}

void qtReflash(Fixture& f, QImage& image) { painterReflash(f.control, f.vector, f.painter, image, false); }

// What the device geometry hands a back end, kept.
struct Shapes final : DeviceEngine {
  std::vector<DeviceLine> lines;
  std::vector<DeviceRound> rounds;
  std::vector<int> order;  // 0 line, 1 round, in drawing order
  Status fill(Rgb) override { return status::ok; }
  Status line(const DeviceLine& l) override { return lines.push_back(l), order.push_back(0), status::ok; }
  Status round(const DeviceRound& r) override { return rounds.push_back(r), order.push_back(1), status::ok; }
};

Shapes shapesOf(Fixture& f) {
  Shapes shapes;
  DeviceSurface p1;
  p1.setDevice(kWidth, kHeight, kScreenDpi, kScreenDpi);
  p1.setEngine(&shapes);
  f.control.attachPicture(p1);
  (void)f.control.Reflash();
  f.control.attachPicture(f.raster);
  return shapes;
}

// --- the bare loop: textbook Bresenham segments and midpoint circles, solid ---

struct BareShape {
  bool round;
  int x1, y1, x2, y2;  // a segment's pixel ends; a circle's centre pixel and radius in x2
  std::uint32_t pixel;
  RasterRound arc;  // an arc, drawn by the raster's own ring walk without a pattern
  bool isArc;
};

std::vector<BareShape> bareShapes(const Shapes& shapes) {
  std::vector<BareShape> out;
  std::size_t l = 0, r = 0;
  for (const int kind : shapes.order) {
    BareShape b{};
    if (kind == 0) {
      const DeviceLine& s = shapes.lines[l++];
      b = {false,
           int(std::floor(s.x1)),
           int(std::floor(s.y1)),
           int(std::floor(s.x2)),
           int(std::floor(s.y2)),
           pixelOf(s.colour),
           {},
           false};
    } else {
      const DeviceRound& s = shapes.rounds[r++];
      b.round = true;
      b.x1 = int(std::floor(s.cx));
      b.y1 = int(std::floor(s.cy));
      b.x2 = int(std::floor(s.r + 0.5));
      b.pixel = pixelOf(s.colour);
      b.isArc = !s.whole && s.span < kFullTurn;
      b.arc = {b.x1, b.y1, b.x2, b.pixel, DashPattern::solid, false, float(s.start), float(s.span)};
    }
    out.push_back(b);
  }
  return out;
}

inline void put(PixelBuffer& p, int x, int y, std::uint32_t c) {
  if (x >= 0 && x < p.width() && y >= 0 && y < p.height()) p.row(y)[x] = c;
}

void bareLoop(const std::vector<BareShape>& shapes, PixelBuffer& p) {
  p.fillRows(0, p.height(), 0xFF000000u);
  const RasterBand whole{&p, 0, p.height()};
  for (const BareShape& s : shapes) {
    if (!s.round) {
      int x = s.x1, y = s.y1;
      const int dx = std::abs(s.x2 - s.x1), dy = -std::abs(s.y2 - s.y1);
      const int sx = s.x1 < s.x2 ? 1 : -1, sy = s.y1 < s.y2 ? 1 : -1;
      int err = dx + dy;
      for (;;) {
        put(p, x, y, s.pixel);
        if (x == s.x2 && y == s.y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
      }
    } else if (s.isArc) {
      drawRound(whole, s.arc);
    } else {
      int x = s.x2, y = 0, d = 1 - s.x2;
      while (x >= y) {
        put(p, s.x1 + x, s.y1 - y, s.pixel), put(p, s.x1 + y, s.y1 - x, s.pixel);
        put(p, s.x1 - y, s.y1 - x, s.pixel), put(p, s.x1 - x, s.y1 - y, s.pixel);
        put(p, s.x1 - x, s.y1 + y, s.pixel), put(p, s.x1 - y, s.y1 + x, s.pixel);
        put(p, s.x1 + y, s.y1 + x, s.pixel), put(p, s.x1 + x, s.y1 + y, s.pixel);
        ++y;
        if (d < 0) {
          d += 2 * y + 1;
        } else {
          --x;
          d += 2 * (y - x) + 1;
        }
      }
    }
  }
}

// --- the plain QPainter loop: the same primitives with the same pens ---

void plainQPainterLoop(const Shapes& shapes, QImage& image) {
  QPainter painter(&image);
  painter.setBrush(Qt::NoBrush);
  painter.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(0, 0, 0));
  std::size_t l = 0, r = 0;
  for (const int kind : shapes.order) {
    const Rgb c = kind == 0 ? shapes.lines[l].colour : shapes.rounds[r].colour;
    const DashPattern dash = kind == 0 ? shapes.lines[l].dash : shapes.rounds[r].dash;
    QPen pen(QColor(c.red, c.green, c.blue));
    pen.setCosmetic(true);
    const auto runs = dashRuns(dash);
    if (!runs.empty()) pen.setDashPattern(QList<qreal>(runs.begin(), runs.end()));
    painter.setPen(pen);
    if (kind == 0) {
      const DeviceLine& s = shapes.lines[l++];
      painter.drawLine(QLineF(s.x1, s.y1, s.x2, s.y2));
    } else {
      const DeviceRound& s = shapes.rounds[r++];
      const QRectF bounds(s.cx - s.r, s.cy - s.r, 2 * s.r, 2 * s.r);
      if (s.whole) {
        painter.drawEllipse(bounds);
      } else {
        painter.drawArc(bounds, int(std::lround(s.start * 2880 / kHalfTurn)),
                        int(std::lround(s.span * 2880 / kHalfTurn)));
      }
    }
  }
}

double seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::size_t countOf(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

// ratio = Qt surface time / raster time: the raster's speed-up (goal >= 6).
void BM_RasterAgainstQtSurface(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  pair(
      state, seconds, "raster", "qt", [&] { rasterReflash(f, 1); }, [&] { qtReflash(f, image); });
}

// ratio = bare loop time / raster time; the raster's cost over the bound is 1 / ratio
// (goal: raster at most 2x the bare loop, that is ratio >= 0.5).
void BM_RasterAgainstBareLoop(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  const std::vector<BareShape> shapes = bareShapes(shapesOf(f));
  PixelBuffer bare;
  (void)bare.resize(kWidth, kHeight, {});
  pair(
      state, seconds, "raster", "bare", [&] { rasterReflash(f, 1); }, [&] { bareLoop(shapes, bare); });
}

// ratio = one thread / all cores: the bands' speed-up (goal >= 1.7 on 2 cores).
void BM_BandsAgainstOneThread(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  pair(
      state, seconds, "bands", "one_thread", [&] { rasterReflash(f, 0); }, [&] { rasterReflash(f, 1); });
}

// The same for the raster step alone, the part that is split into bands: each repaint is
// recorded with the clock stopped, then drawn.
void BM_RasterStepBandsAgainstOneThread(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  f.control.attachPicture(f.raster);
  const auto rasterStep = [&](int threads) {
    f.raster.raster().setThreads(threads);
    (void)f.control.Reflash();
    const double t0 = seconds();
    benchmark::DoNotOptimize(f.raster.picture().data());
    return seconds() - t0;
  };
  double bands = 0, one = 0;
  for (auto _ : state) {
    bands += rasterStep(0);
    one += rasterStep(1);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["bands_ms"] = bands / n * 1e3;
  state.counters["one_thread_ms"] = one / n * 1e3;
  state.counters["ratio"] = one / bands;
}

// ratio = Qt surface / plain QPainter loop: what the geometry costs on top of QPainter.
void BM_QtSurfaceAgainstPlainQPainter(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  const Shapes shapes = shapesOf(f);
  QImage a(kWidth, kHeight, QImage::Format_RGB32), b(kWidth, kHeight, QImage::Format_RGB32);
  pair(
      state, seconds, "plain", "qt", [&] { plainQPainterLoop(shapes, b); }, [&] { qtReflash(f, a); });
}

// The raster step alone of the zoomed window, each repaint recorded with the clock stopped.
void BM_ZoomedWindowRasterStep(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  f.control.attachPicture(f.zoomed);
  const auto rasterStep = [&](int threads) {
    f.zoomed.raster().setThreads(threads);
    (void)f.control.Reflash();
    const double t0 = seconds();
    benchmark::DoNotOptimize(f.zoomed.picture().data());
    return seconds() - t0;
  };
  double bands = 0, one = 0;
  for (auto _ : state) {
    bands += rasterStep(0);
    one += rasterStep(1);
  }
  f.control.attachPicture(f.raster);
  const double n = static_cast<double>(state.iterations());
  state.counters["bands_ms"] = bands / n * 1e3;
  state.counters["one_thread_ms"] = one / n * 1e3;
  state.counters["ratio"] = one / bands;
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(100000)->Arg(1000000)->ArgName("entities")->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_RasterAgainstQtSurface)->Apply(sizes)->MinTime(2);
BENCHMARK(BM_RasterAgainstBareLoop)->Apply(sizes)->MinTime(2);
BENCHMARK(BM_BandsAgainstOneThread)->Apply(sizes)->MinTime(2);
BENCHMARK(BM_RasterStepBandsAgainstOneThread)->Apply(sizes)->MinTime(2);
BENCHMARK(BM_QtSurfaceAgainstPlainQPainter)->Apply(sizes)->MinTime(2);
BENCHMARK(BM_ZoomedWindowRasterStep)
    ->Arg(1000000)
    ->ArgName("entities")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

}  // namespace
}  // namespace trazo::bench

BENCHMARK_MAIN();
