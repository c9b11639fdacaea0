// The C++ side of bench/python_adds.py: AddLine once per row of the columns in a file that
// the Python side wrote (x1, y1, x2, y2 as float64, col and lType as int32, each column
// whole, one after the other), into a fresh control, timed around the loop alone.
//   python_adds_baseline FILE ROWS  ->  prints the seconds the adds took
#include "control/trazo.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: python_adds_baseline FILE ROWS\n");
    return 2;
  }
  const std::size_t rows = std::strtoull(argv[2], nullptr, 10);
  std::vector<double> x1(rows), y1(rows), x2(rows), y2(rows);
  std::vector<std::int32_t> col(rows), lType(rows);
  std::ifstream in(argv[1], std::ios::binary);
  for (auto* column : {&x1, &y1, &x2, &y2}) in.read(reinterpret_cast<char*>(column->data()), rows * sizeof(double));
  for (auto* column : {&col, &lType}) in.read(reinterpret_cast<char*>(column->data()), rows * sizeof(std::int32_t));
  if (!in) {
    std::fprintf(stderr, "%s: too short for %zu rows\n", argv[1], rows);
    return 1;
  }
  trazo::Trazo control;
  (void)control.onInitialize();
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < rows; ++i) {
    if (trazo::failed(control.AddLine(x1[i], y1[i], x2[i], y2[i], col[i], lType[i], {}))) return 1;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.6f\n", took.count());
  return 0;
}
