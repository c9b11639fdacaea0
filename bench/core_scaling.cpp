// One million and ten million AddLine calls into one fresh control, timed by hand so that
// creating and freeing the store stay outside the figure. per_add_ns should stay flat:
// adding is constant time however large the drawing gets.
#include "control/trazo.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
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
    const auto start = std::chrono::steady_clock::now();
    for (std::int64_t i = 0; ok && i < n; ++i) {
      const auto x = static_cast<double>(i & 0xFFFF);
      ok = !failed(control->AddLine(x, x, x + 1, x + 2, 1, 0, {}));
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!ok) {
      state.SkipWithError("an add failed");
      break;
    }
    state.SetIterationTime(elapsed.count());
    state.counters["per_add_ns"] = elapsed.count() * 1e9 / static_cast<double>(n);
  }
}

}  // namespace

BENCHMARK(BM_AddLineMillions)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace trazo::bench
