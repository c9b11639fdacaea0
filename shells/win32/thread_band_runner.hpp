// The raster step's bands on Windows threads. MinGW-w64's win32 thread model has no
// std::thread, so the portable runner would draw one band after another; this one starts a
// thread per band with CreateThread and waits for all of them before it returns.
#pragma once

#include "raster/band_runner.hpp"

namespace trazo::win32 {

class ThreadBandRunner final : public BandRunner {
 public:
  // The processors the system lets this process use.
  int parallelism() const override;
  void run(int count, BandWork& work) override;
};

// The one runner of the module's pictures: it keeps no state between runs.
ThreadBandRunner& threadBandRunner();

}  // namespace trazo::win32
