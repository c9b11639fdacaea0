#include "raster/band_runner.hpp"

#include "base/worker_pool.hpp"

namespace trazo {
namespace {

class PoolRunner final : public BandRunner {
 public:
  int parallelism() const override { return sharedWorkerPool().parallelism(); }

  int run(int count, int threads, BandWork& work) override {
    return sharedWorkerPool().runEach(count, threads, [&work](int band) { work.draw(band); });
  }
};

}  // namespace

BandRunner& standardBandRunner() {
  static PoolRunner runner;
  return runner;
}

}  // namespace trazo
