// How the raster step runs its bands: side by side on threads where the platform has them,
// one after another elsewhere. The threads live only while run() does.
#pragma once

namespace trazo {

// What a band runner runs: one band of the picture at a time.
class BandWork {
 public:
  virtual ~BandWork() = default;
  virtual void draw(int band) = 0;
};

class BandRunner {
 public:
  virtual ~BandRunner() = default;
  // How many bands can usefully run at the same time.
  virtual int parallelism() const = 0;
  // Calls work.draw(0) .. work.draw(count - 1), perhaps at the same time, and returns once
  // every call has returned. Never throws: a thread that cannot be started leaves its band
  // to the calling thread.
  virtual void run(int count, BandWork& work) = 0;
};

// std::thread where the standard library has it; otherwise one band after another.
BandRunner& standardBandRunner();

}  // namespace trazo
