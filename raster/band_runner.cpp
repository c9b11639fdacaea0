#include "raster/band_runner.hpp"

#if TRAZO_HAS_THREADS
#include <system_error>
#include <thread>
#include <vector>
#endif

namespace trazo {
namespace {

#if TRAZO_HAS_THREADS
class ThreadRunner final : public BandRunner {
 public:
  int parallelism() const override {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
  }

  // The caller's thread draws the first band and any band whose thread cannot be started,
  // so the picture is complete whatever the system allows.
  void run(int count, BandWork& work) override {
    std::vector<std::thread> threads;
    try {
      threads.reserve(static_cast<std::size_t>(count > 1 ? count - 1 : 0));
      for (int band = 1; band < count; ++band) threads.emplace_back([&work, band] { work.draw(band); });
    } catch (const std::exception&) {
      // fewer threads: the bands from threads.size() + 1 on are drawn here
    }
    const int started = static_cast<int>(threads.size());
    if (count > 0) work.draw(0);
    for (int band = started + 1; band < count; ++band) work.draw(band);
    for (std::thread& t : threads) t.join();
  }
};
#else
class ThreadRunner final : public BandRunner {
 public:
  int parallelism() const override { return 1; }
  void run(int count, BandWork& work) override {
    for (int band = 0; band < count; ++band) work.draw(band);
  }
};
#endif

}  // namespace

BandRunner& standardBandRunner() {
  static ThreadRunner runner;
  return runner;
}

}  // namespace trazo
