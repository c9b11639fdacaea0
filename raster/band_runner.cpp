#include "raster/band_runner.hpp"

#include "base/worker_pool.hpp"

namespace trazo {
namespace {

class PoolRunner final : public BandRunner {
 public:
  int parallelism() const override { return sharedWorkerPool().parallelism(); }

  int run(int count, int threads, BandWork& work) override {
    struct Bands final : PoolJob {
      BandWork& work;
      explicit Bands(BandWork& w) : work(w) {}
      void part(int band) override { work.draw(band); }
    } bands(work);
    return sharedWorkerPool().run(count, threads, bands);
  }
};

}  // namespace

BandRunner& standardBandRunner() {
  static PoolRunner runner;
  return runner;
}

}  // namespace trazo
