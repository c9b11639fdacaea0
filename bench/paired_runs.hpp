// Two ways of doing the same work, timed back to back in every iteration of a benchmark so
// that whatever else slows the machine slows both alike: each one's time per run and the
// ratio of the second's to the first's, by the clock the benchmark chooses.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace trazo::bench {

// Runs `a` and `b` back to back each iteration, timed by `seconds()`; reports both per
// repaint, as aName_ms and bName_ms, and their ratio b / a.
template <typename Clock, typename A, typename B>
void pair(benchmark::State& state, Clock seconds, const char* aName, const char* bName, A a, B b) {
  double ta = 0, tb = 0;
  for (auto _ : state) {
    const double t0 = seconds();
    a();
    const double t1 = seconds();
    b();
    const double t2 = seconds();
    ta += t1 - t0;
    tb += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters[std::string(aName) + "_ms"] = ta / n * 1e3;
  state.counters[std::string(bName) + "_ms"] = tb / n * 1e3;
  state.counters["ratio"] = tb / ta;
}

}  // namespace trazo::bench
