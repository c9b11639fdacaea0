// The performance goals of the core and a console reporter that, after the usual table,
// prints each goal with the figures it was judged on. Where a benchmark ran several times
// the median of its runs counts.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace trazo::bench {

class GoalReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

  // One line per goal; false if any goal was missed or could not be judged.
  bool printGoals(std::ostream& out) const;

 private:
  // Benchmark name to each of its finished runs.
  std::map<std::string, std::vector<Run>> runs_;
  // Benchmark name to its median, when only aggregates are reported.
  std::map<std::string, Run> medians_;
};

}  // namespace trazo::bench
