// Picking in a drawing of ten million entities, beside a Reflash of the same drawing in the
// same run: entityAt over a grid of points that covers the fitted picture and a zoomed one
// (the mean and the slowest call), and entitiesIn for a rectangle that holds about 100,000
// entities. The drawing is a map: a grid of small lines, circles, arcs and texts, one a
// cell, with a long line every hundred entities, so that a point meets a few nearby
// entities and a few long ones, as in a plan or a map.
#include "control/trazo.hpp"
#include "picking/picker.hpp"
#include "raster/raster_surface.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

namespace trazo::bench {
namespace {

constexpr std::int32_t kEntities = 10000000;
constexpr double kCell = 10;
constexpr int kWidth = 1024, kHeight = 768;

class Lcg {
 public:
  double next(double low, double high) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return low + static_cast<double>(state_ >> 11) / 9007199254740992.0 * (high - low);
  }

 private:
  std::uint64_t state_ = 1919;
};

Trazo* mapDrawing() {
  static const std::unique_ptr<Trazo> control = [] {
    auto t = std::make_unique<Trazo>();
    if (failed(t->onInitialize())) return std::unique_ptr<Trazo>();
    Lcg random;
    const auto side = static_cast<std::int32_t>(std::ceil(std::sqrt(static_cast<double>(kEntities))));
    for (std::int32_t i = 0; i < kEntities; ++i) {
      const double x = (i % side) * kCell, y = (i / side) * kCell;
      const auto col = static_cast<std::int32_t>(i % 7), lType = static_cast<std::int32_t>(i % 4);
      Status s = status::ok;
      if (i % 100 == 99) {
        s = t->AddLine(x, y, x + random.next(-1000, 1000), y + random.next(-1000, 1000), col, lType, {});
      } else {
        switch (i % 4) {
          case 0: s = t->AddLine(x, y, x + random.next(0, kCell), y + random.next(0, kCell), col, lType, {}); break;
          case 1: s = t->AddCircle(x + 5, y + 5, random.next(0.5, 4.5), col, lType, {}); break;
          case 2: s = t->AddCircle2(x + 5, y + 5, random.next(0.5, 4.5), 0.5, 4, col, lType, {}); break;
          default: s = t->AddText(x + 1, y + 1, 3, random.next(0, 360), col, u"ab", u"label"); break;
        }
      }
      if (failed(s)) return std::unique_ptr<Trazo>();
    }
    return t;
  }();
  return control.get();
}

// Processor time of this thread, in milliseconds: other load on a shared machine does not count.
double threadMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// P1 as `trazo pick` has it: the device geometry alone, painted by a Reflash.
bool paintGeometry(Trazo& control, DeviceSurface& picture, int width, int height) {
  picture.setDevice(width, height, kScreenDpi, kScreenDpi);
  control.attachPicture(picture);
  const Status s = control.Reflash();
  control.detachPicture();
  return !failed(s);
}

void BM_Picking_Reflash(benchmark::State& state) {
  Trazo* control = mapDrawing();
  if (control == nullptr) return state.SkipWithError("building the drawing failed");
  RasterSurface picture;
  if (!picture.setPixelSize(kWidth, kHeight)) return state.SkipWithError("no memory for the picture");
  control->attachPicture(picture);
  for (auto _ : state) {
    if (failed(control->Reflash())) state.SkipWithError("Reflash failed");
    benchmark::DoNotOptimize(picture.picture().data());
  }
  control->detachPicture();
  state.counters["entities"] = control->store().count();
}

// state.range(0): the picture's width, the drawing fitted into it (1024: the whole map).
void BM_Picking_EntityAt(benchmark::State& state) {
  Trazo* control = mapDrawing();
  if (control == nullptr) return state.SkipWithError("building the drawing failed");
  const int width = static_cast<int>(state.range(0)), height = width * 3 / 4;
  DeviceSurface picture;
  if (!paintGeometry(*control, picture, width, height)) return state.SkipWithError("Reflash failed");
  Picker picker;
  picker.painted(control->store(), picture);
  const double build = threadMilliseconds();
  (void)picker.entityAt(control->store(), 0, 0);
  const double buildMs = threadMilliseconds() - build;
  // Each point's fastest of the runs, so that a run the machine interrupted does not count.
  std::vector<double> fastest(32 * 24 * 2, 1e300);
  double total = 0;
  std::int64_t calls = 0, found = 0;
  for (auto _ : state) {
    std::size_t point = 0;
    for (int gy = 0; gy < 24; ++gy) {
      for (int gx = 0; gx < 32; ++gx) {
        for (const double tolerance : {0.0, 3.0}) {
          const double x = (gx + 0.37) * width / 32.0, y = (gy + 0.61) * height / 24.0;
          const double start = threadMilliseconds();
          const std::int32_t seen = picker.entityAt(control->store(), x, y, tolerance);
          const double ms = threadMilliseconds() - start;
          fastest[point] = std::min(fastest[point], ms);
          ++point;
          total += ms;
          ++calls;
          found += seen != 0;
        }
      }
    }
  }
  const auto slowest = std::max_element(fastest.begin(), fastest.end());
  const auto at = static_cast<std::size_t>(slowest - fastest.begin());
  state.counters["slowest_ms"] = *slowest;
  state.counters["slowest_x"] = (static_cast<double>(at / 2 % 32) + 0.37) * width / 32.0;
  state.counters["slowest_y"] = (static_cast<double>(at / 64) + 0.61) * height / 24.0;
  state.counters["slowest_tolerance"] = at % 2 == 0 ? 0 : 3;
  state.counters["index_build_ms"] = buildMs;
  state.counters["mean_ms"] = total / static_cast<double>(calls);
  state.counters["found_fraction"] = static_cast<double>(found) / static_cast<double>(calls);
}

void BM_Picking_EntitiesIn(benchmark::State& state) {
  Trazo* control = mapDrawing();
  if (control == nullptr) return state.SkipWithError("building the drawing failed");
  DeviceSurface picture;
  if (!paintGeometry(*control, picture, kWidth, kHeight)) return state.SkipWithError("Reflash failed");
  Picker picker;
  picker.painted(control->store(), picture);
  std::vector<std::int32_t> found;
  // A square about the middle grown until it holds about 100,000 entities.
  double low = 1, high = kHeight;
  PickRect rect;
  for (int step = 0; step < 30; ++step) {
    const double side = (low + high) / 2;
    rect = {kWidth / 2.0 - side / 2, kHeight / 2.0 - side / 2, side, side};
    if (failed(picker.entitiesIn(control->store(), rect, BoxSelection::crossing, found)))
      return state.SkipWithError("entitiesIn failed");
    if (found.size() > 105000) high = side;
    else if (found.size() < 95000) low = side;
    else break;
  }
  const auto mode = state.range(0) == 0 ? BoxSelection::crossing : BoxSelection::inside;
  for (auto _ : state) {
    if (failed(picker.entitiesIn(control->store(), rect, mode, found))) state.SkipWithError("entitiesIn failed");
  }
  state.counters["selected"] = static_cast<double>(found.size());
  state.counters["side_px"] = rect.width;
}

}  // namespace

BENCHMARK(BM_Picking_Reflash)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Picking_EntityAt)->Arg(kWidth)->Arg(65536)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Picking_EntitiesIn)->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace trazo::bench
