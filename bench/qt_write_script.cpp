// Writes the benchmarks' mixed drawing as a call script, for timing `trazo render`:
//   qt_write_script 1000000 > million.trz
#include "bench/qt_mixed_drawing.hpp"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000000;
  if (count <= 0) {
    std::cerr << "usage: qt_write_script COUNT > drawing.trz\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  trazo::bench::writeScript(trazo::bench::mixedDrawing(static_cast<std::size_t>(count)), std::cout);
  return std::cout ? 0 : 1;
}
