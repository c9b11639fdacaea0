#include "base/worker_pool.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace trazo {
namespace {

// Counts the calls of each part and notes the thread of part 0.
struct Parts final : PoolJob {
  std::vector<std::atomic<int>> calls;
  std::thread::id first;
  int throwAt = -1;
  explicit Parts(int count) : calls(static_cast<std::size_t>(count)) {}
  void part(int index) override {
    if (index == 0) first = std::this_thread::get_id();
    std::this_thread::yield();
    ++calls[static_cast<std::size_t>(index)];
    if (index == throwAt) throw std::runtime_error("part");
  }
  bool eachOnce() const {
    for (const auto& c : calls)
      if (c != 1) return false;
    return true;
  }
};

// Jobs from several threads at once, on pools with and without workers: every part runs
// once, part 0 on the caller, on no more threads than asked; a part's exception comes out
// of run() once the job is done; the pool stops and joins its workers when it goes.
TEST(WorkerPool, RunsEveryPartOnceForEveryCallerAtOnce) {
  for (const int workers : {0, 1, 3}) {
    WorkerPool pool(workers);
    std::vector<std::thread> callers;
    std::atomic<int> good{0};
    for (int caller = 0; caller < 4; ++caller) {
      callers.emplace_back([&, caller] {
        for (int round = 0; round < 50; ++round) {
          Parts parts(1 + (caller * 7 + round) % 40);
          const int threads = 1 + round % 5;
          const int used = pool.run(static_cast<int>(parts.calls.size()), threads, parts);
          if (parts.eachOnce() && parts.first == std::this_thread::get_id() && used >= 1 && used <= threads &&
              used <= workers + 1)
            ++good;
        }
      });
    }
    for (std::thread& t : callers) t.join();
    EXPECT_EQ(good, 4 * 50) << workers << " workers";

    Parts failing(30);
    failing.throwAt = 17;
    EXPECT_THROW((void)pool.run(30, 4, failing), std::runtime_error);
    EXPECT_TRUE(failing.eachOnce()) << workers << " workers";
  }
}

}  // namespace
}  // namespace trazo
