// The spatial index's build against the adds that made the drawing: the benchmarks' mixed
// drawing (lines, circles, arcs, boxes) added to a fresh store, then the index built over it
// as the first repaint of a window builds it, both timed in one iteration by the processor
// time of the process. build_share is the build's time over the adds'. BM_IndexQuery times
// the index's answers for windows of a hundredth and a ten-thousandth of the drawing, so that
// a cheaper build can be seen not to cost the queries.
#include "bench/millions_by_hand.hpp"
#include "bench/qt_mixed_drawing.hpp"
#include "model/add_operations.hpp"
#include "model/spatial_index.hpp"
#include "model/store.hpp"

#include <benchmark/benchmark.h>

#include <ctime>
#include <random>
#include <memory>

namespace trazo::bench {
namespace {

Status addMixed(Store& store, const MixedEntity& e) {
  switch (e.shape) {
    case Shape::line: return addLine(store, e.a, e.b, e.c, e.d, e.col, e.lType, {});
    case Shape::circle: return addCircle(store, e.a, e.b, e.c, e.col, e.lType, {});
    case Shape::arc: return addArc(store, e.a, e.b, e.c, e.d, e.e, e.col, e.lType, {});
    case Shape::box: break;
  }
  // The four sides as the control's AddBox adds them.
  const double sides[4][4] = {{e.a, e.b, e.c, e.b}, {e.a, e.d, e.c, e.d}, {e.a, e.b, e.a, e.d}, {e.c, e.b, e.c, e.d}};
  for (const auto& s : sides) {
    if (const Status st = addLine(store, s[0], s[1], s[2], s[3], e.col, e.lType, {}); failed(st)) return st;
  }
  return status::ok;
}

double secondsSince(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

void BM_IndexBuildAgainstAdds(benchmark::State& state) {
  const auto drawing = mixedDrawing(static_cast<std::size_t>(state.range(0)));
  double adds = 0, build = 0;
  for (auto _ : state) {
    auto store = std::make_unique<Store>();
    auto index = std::make_unique<SpatialIndex>();
    if (failed(store->clear())) {
      state.SkipWithError("clear failed");
      break;
    }
    std::clock_t start = std::clock();
    for (const MixedEntity& e : drawing) {
      if (failed(addMixed(*store, e))) {
        state.SkipWithError("an add failed");
        return;
      }
    }
    const double addSeconds = secondsSince(start);
    start = std::clock();
    if (!index->update(*store)) {
      state.SkipWithError("no memory for the index");
      break;
    }
    const double buildSeconds = secondsSince(start);
    state.SetIterationTime(addSeconds + buildSeconds);
    adds += addSeconds;
    build += buildSeconds;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["adds_ms"] = adds * 1e3 / n;
  state.counters["build_ms"] = build * 1e3 / n;
  state.counters["build_share"] = adds > 0 ? build / adds : 0;
}

// Windows of 1/range(1) of the drawing's width each way, at random places, one query each.
void BM_IndexQuery(benchmark::State& state) {
  const auto drawing = mixedDrawing(static_cast<std::size_t>(state.range(0)));
  Store store;
  SpatialIndex index;
  if (failed(store.clear())) return state.SkipWithError("clear failed");
  for (const MixedEntity& e : drawing) {
    if (failed(addMixed(store, e))) return state.SkipWithError("an add failed");
  }
  if (!index.update(store)) return state.SkipWithError("no memory for the index");
  const Extents all = store.extents();
  const double w = (all.MaxX - all.MinX) / static_cast<double>(state.range(1));
  const double h = (all.MaxY - all.MinY) / static_cast<double>(state.range(1));
  std::mt19937 random(11);
  std::uniform_real_distribution<double> x(all.MinX, all.MaxX - w), y(all.MinY, all.MaxY - h);
  std::vector<std::int32_t> found;
  std::size_t total = 0;
  for (auto _ : state) {
    const double left = x(random), top = y(random);
    if (!index.query(store, {left, top, left + w, top + h}, found)) return state.SkipWithError("no memory");
    total += found.size();
  }
  state.counters["found"] = static_cast<double>(total) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_IndexQuery)->Args({1000000, 10})->Args({1000000, 100})->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_IndexBuildAgainstAdds)->Apply(millionsByHand);

}  // namespace trazo::bench
