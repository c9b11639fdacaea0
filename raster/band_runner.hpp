// How the raster step runs its bands: side by side on threads where the platform has them,
// one after another elsewhere. The threads live only while run() does.
#pragma once

#include <functional>

namespace trazo {

class BandRunner {
 public:
  virtual ~BandRunner() = default;
  // How many bands can usefully run at the same time.
  virtual int parallelism() const = 0;
  // Calls work(0) .. work(count - 1), perhaps at the same time, and returns once every call
  // has returned.
  virtual void run(int count, const std::function<void(int)>& work) = 0;
};

// std::thread where the standard library has it; otherwise one band after another.
BandRunner& standardBandRunner();

}  // namespace trazo
