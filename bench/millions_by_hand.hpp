// How the core benchmarks of very large drawings run: at a million and at ten million
// entities, one iteration each, repeated three times, each iteration's time set by the
// benchmark itself, so that the setup it leaves out does not count.
#pragma once

#include <benchmark/benchmark.h>

namespace trazo::bench {

inline void millionsByHand(benchmark::internal::Benchmark* b) {
  b->Arg(1000000)->Arg(10000000)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace trazo::bench
