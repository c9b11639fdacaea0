// The antialiased raster on the mixed drawing in a 1920 x 1080 picture, one thread each:
//   - against the aliased raster, the classic picture (goal: at most 2x its time);
//   - against the path it replaced, the Qt surface with QPainter's antialiasing on, fed by
//     the same device geometry into a QImage (goal: at least 8x faster).
// Each pair runs back to back in every iteration on the calling thread and is timed by that
// thread's processor time, so that other work on a busy machine does not count; the ratio of
// the sums is what counts.
#include "bench/mixed_control.hpp"
#include "bench/paired_runs.hpp"
#include "bench/qt_painter_reflash.hpp"
#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "raster/raster_surface.hpp"
#include "shells/qt/painter_engine.hpp"

#include <QImage>

#include <benchmark/benchmark.h>

#include <ctime>
#include <map>
#include <memory>

namespace trazo::bench {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Fixture {
  Trazo control;
  RasterSurface aliased, smooth;
  DeviceSurface vector;
  qt::PainterEngine painter;
};

void rasterReflash(Fixture& f, RasterSurface& p1) {
  f.control.attachPicture(p1);
  benchmark::DoNotOptimize(f.control.Reflash());
  benchmark::DoNotOptimize(p1.picture().data());
}

void qtAntialiasedReflash(Fixture& f, QImage& image) { painterReflash(f.control, f.vector, f.painter, image, true); }

Fixture& fixtureFor(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<Fixture>> fixtures;
  auto& slot = fixtures[count];
  if (!slot) {
    slot = std::make_unique<Fixture>();
    Trazo& c = slot->control;
    (void)c.onInitialize();
    (void)addMixedDrawing(c, mixedDrawing(count));
    for (RasterSurface* p1 : {&slot->aliased, &slot->smooth}) {
      (void)p1->setPixelSize(kWidth, kHeight);
      p1->raster().setThreads(1);
    }
    slot->smooth.setAntialias(true);
    slot->vector.setDevice(kWidth, kHeight, kScreenDpi, kScreenDpi);
    slot->vector.setEngine(&slot->painter);
    // A surface's first repaint fits the drawing and faults in its lists and pixels, several
    // times a repaint's cost, and QPainter's first sets up its own state: left to the first
    // iteration, they would weigh on a run whose one iteration already passes the minimum
    // time (a million entities).
    for (RasterSurface* p1 : {&slot->aliased, &slot->smooth}) rasterReflash(*slot, *p1);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    qtAntialiasedReflash(*slot, image);
  }
  return *slot;
}

// The calling thread's processor time: every repaint here runs on it alone.
double seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::size_t countOf(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

// ratio = antialiased raster / aliased raster (goal: at most 2).
void BM_AntialiasedAgainstAliasedRaster(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  pair(
      state, seconds, "aliased", "antialiased", [&] { rasterReflash(f, f.aliased); },
      [&] { rasterReflash(f, f.smooth); });
}

// ratio = antialiased QPainter / antialiased raster (goal: at least 8).
void BM_AntialiasedRasterAgainstQPainter(benchmark::State& state) {
  Fixture& f = fixtureFor(countOf(state));
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  pair(
      state, seconds, "antialiased", "qpainter", [&] { rasterReflash(f, f.smooth); },
      [&] { qtAntialiasedReflash(f, image); });
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(100000)->Arg(1000000)->ArgName("entities")->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_AntialiasedAgainstAliasedRaster)->Apply(sizes)->MinTime(2);
BENCHMARK(BM_AntialiasedRasterAgainstQPainter)->Apply(sizes)->MinTime(2);

}  // namespace
}  // namespace trazo::bench

BENCHMARK_MAIN();
