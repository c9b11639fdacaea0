// The command line of the benchmarks that print one table by entity count,
//   COUNT... [--rounds N] [--threads N]
// (a million and ten million entities unless counts are given), and the median they print
// of each figure's rounds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

namespace trazo::bench {

struct TableArguments {
  std::vector<std::size_t> counts;
  int rounds = 5;
  int threads = 0;
};

// `threads` is the program's own default for --threads.
inline TableArguments tableArguments(int argc, char** argv, int threads) {
  TableArguments arguments;
  arguments.threads = threads;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rounds" && i + 1 < argc) {
      arguments.rounds = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--threads" && i + 1 < argc) {
      arguments.threads = std::max(0, std::atoi(argv[++i]));
    } else {
      arguments.counts.push_back(static_cast<std::size_t>(std::strtoull(argv[i], nullptr, 10)));
    }
  }
  if (arguments.counts.empty()) arguments.counts = {1000000, 10000000};
  return arguments;
}

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace trazo::bench
