// How the raster step runs its bands: side by side on the process's worker threads where
// the platform has them, one after another elsewhere. A picture starts no thread of its own.
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
  // Calls work.draw(0) .. work.draw(count - 1), each once, band 0 on the calling thread, on
  // at most `threads` threads, and returns once every call has returned, with how many
  // threads the bands were shared among. Never throws: a thread that cannot be had leaves
  // its bands to the calling thread.
  virtual int run(int count, int threads, BandWork& work) = 0;
};

// The shared worker pool (base/worker_pool.hpp).
BandRunner& standardBandRunner();

}  // namespace trazo
