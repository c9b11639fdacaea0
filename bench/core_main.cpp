// Runs the core benchmarks with the goal summary after the table. The usual Google Benchmark
// flags apply (--benchmark_filter, --benchmark_repetitions, --benchmark_out, ...).
#include "core_goals.hpp"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  trazo::bench::GoalReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
