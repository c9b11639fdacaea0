#include "core_goals.hpp"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string_view>

namespace trazo::bench {
namespace {

using Run = benchmark::BenchmarkReporter::Run;

// The control's rate must reach `least` times the bare rate.
struct RateGoal {
  std::string_view measured, bare;
  double least;
};
constexpr RateGoal kRateGoals[] = {
    {"BM_AddLine", "BM_AddLine_Bare", 0.8},     {"BM_AddBox", "BM_AddBox_Bare", 0.8},
    {"BM_AddCircle", "BM_AddCircle_Bare", 0.8}, {"BM_AddCircle2", "BM_AddCircle2_Bare", 0.8},
    {"BM_AddText", "BM_AddText_Bare", 0.8},     {"BM_Reflash/100000", "BM_Reflash_Bare/100000", 0.8},
};

// A counter that must stay at or under `most`.
struct CounterGoal {
  std::string_view benchmark, counter;
  double most;
};
constexpr CounterGoal kCounterGoals[] = {{"BM_BytesPerLine/10000000", "resident_bytes_per_entity", 64},
                                         {"BM_ClearGivesGreatTagsBack/200000", "kept_fraction", 0.25},
                                         {"BM_IndexBuildAgainstAdds/10000000", "build_share", 1.0 / 3}};

// The larger run may take at most `most` times as long as the smaller.
struct TimeGoal {
  std::string_view larger, smaller;
  double most;
};
constexpr TimeGoal kTimeGoals[] = {{"BM_AddLineMillions/10000000", "BM_AddLineMillions/1000000", 11}};

// `name` is `key` or `key` followed by further "/..." parts (arguments, options).
bool nameMatches(const std::string& name, std::string_view key) {
  if (name.size() < key.size() || name.compare(0, key.size(), key) != 0) return false;
  return name.size() == key.size() || name[key.size()] == '/';
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

void GoalReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    if (run.run_type == Run::RT_Iteration) {
      runs_[run.benchmark_name()].push_back(run);
    } else if (run.aggregate_name == "median") {
      // Only the aggregates are reported: their median stands for the runs.
      medians_[run.run_name.str()] = run;
    }
  }
}

void GoalReporter::Finalize() {
  ConsoleReporter::Finalize();
  printGoals(GetOutputStream());
}

bool GoalReporter::printGoals(std::ostream& out) const {
  // The median over the runs of the first benchmark that matches `key`, of `value(run)`.
  const auto medianOf = [this](std::string_view key,
                               const std::function<std::optional<double>(const Run&)>& value) -> std::optional<double> {
    for (const auto& [name, runs] : runs_) {
      if (!nameMatches(name, key)) continue;
      std::vector<double> values;
      for (const Run& run : runs) {
        if (const auto v = value(run)) values.push_back(*v);
      }
      if (!values.empty()) return median(values);
    }
    for (const auto& [name, run] : medians_) {
      if (nameMatches(name, key)) return value(run);
    }
    return std::nullopt;
  };
  const auto counter = [](std::string_view counterName) {
    return [counterName](const Run& run) -> std::optional<double> {
      const auto it = run.counters.find(std::string(counterName));
      if (it == run.counters.end()) return std::nullopt;
      return it->second.value;
    };
  };
  // Both runs of a time goal use the same unit.
  const auto timePerIteration = [](const Run& run) -> std::optional<double> { return run.GetAdjustedRealTime(); };

  const auto timeUnit = [this](std::string_view key) -> const char* {
    for (const auto& [name, runs] : runs_) {
      if (nameMatches(name, key) && !runs.empty()) return benchmark::GetTimeUnitString(runs.front().time_unit);
    }
    for (const auto& [name, run] : medians_) {
      if (nameMatches(name, key)) return benchmark::GetTimeUnitString(run.time_unit);
    }
    return "";
  };

  bool allMet = true;
  char line[256];
  const auto verdict = [&allMet](bool met) {
    allMet = allMet && met;
    return met ? "met" : "MISSED";
  };
  out << "\nGoals (median of runs)\n";
  for (const RateGoal& g : kRateGoals) {
    const auto measured = medianOf(g.measured, counter("items_per_second"));
    const auto bare = medianOf(g.bare, counter("items_per_second"));
    if (!measured || !bare) {
      std::snprintf(line, sizeof line, "  %-28s not run\n", std::string(g.measured).c_str());
      out << line;
      if (measured || bare) allMet = false;
      continue;
    }
    const double ratio = *measured / *bare;
    std::snprintf(line, sizeof line, "  %-28s %12.4g/s vs bare %12.4g/s  ratio %.3f (at least %.2f)  %s\n",
                  std::string(g.measured).c_str(), *measured, *bare, ratio, g.least, verdict(ratio >= g.least));
    out << line;
  }
  for (const CounterGoal& g : kCounterGoals) {
    const auto value = medianOf(g.benchmark, counter(g.counter));
    if (!value) {
      std::snprintf(line, sizeof line, "  %-28s not run\n", std::string(g.benchmark).c_str());
      out << line;
      continue;
    }
    std::snprintf(line, sizeof line, "  %-28s %s %.2f (at most %.4g)  %s\n", std::string(g.benchmark).c_str(),
                  std::string(g.counter).c_str(), *value, g.most, verdict(*value <= g.most));
    out << line;
  }
  for (const TimeGoal& g : kTimeGoals) {
    const auto larger = medianOf(g.larger, timePerIteration);
    const auto smaller = medianOf(g.smaller, timePerIteration);
    if (!larger || !smaller) {
      std::snprintf(line, sizeof line, "  %-28s not run\n", std::string(g.larger).c_str());
      out << line;
      if (larger || smaller) allMet = false;
      continue;
    }
    const double ratio = *larger / *smaller;
    std::snprintf(line, sizeof line, "  %-28s %.1f vs %.1f %s  ratio %.2f (at most %.0f)  %s\n",
                  std::string(g.larger).c_str(), *larger, *smaller, timeUnit(g.larger), ratio, g.most,
                  verdict(ratio <= g.most));
    out << line;
  }
  return allMet;
}

}  // namespace trazo::bench
