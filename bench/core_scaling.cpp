// One million and ten million AddLine calls into one fresh control, timed by hand so that
// creating and freeing the store stay outside the figure. per_add_ns should stay flat:
// adding is constant time however large the drawing gets. The clock is the processor time
// of the process (which includes the page faults of fresh memory), not the wall clock: on a
// shared machine the wall clock also counts whatever else ran meanwhile.
#include "bench/millions_by_hand.hpp"
#include "control/trazo.hpp"

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace trazo::bench {
namespace {

void BM_AddLineMillions(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  for (auto _ : state) {
    auto control = std::make_unique<Trazo>();
    if (failed(control->Clear())) {
      state.SkipWithError("Clear failed");
      break;
    }
    bool ok = true;
    const std::clock_t start = std::clock();
    for (std::int64_t i = 0; ok && i < n; ++i) {
      const auto x = static_cast<double>(i & 0xFFFF);
      ok = !failed(control->AddLine(x, x, x + 1, x + 2, 1, 0, {}));
    }
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    if (!ok) {
      state.SkipWithError("an add failed");
      break;
    }
    state.SetIterationTime(seconds);
    state.counters["per_add_ns"] = seconds * 1e9 / static_cast<double>(n);
  }
}

}  // namespace

BENCHMARK(BM_AddLineMillions)->Apply(millionsByHand);

}  // namespace trazo::bench
