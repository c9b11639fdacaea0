#include "base/worker_pool.hpp"

#include "base/vector_registers.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <new>

#if TRAZO_HAS_THREADS
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>
#endif

namespace trazo {
namespace {

// Enough for any thread cap a picture is given; workers are started only as jobs ask.
constexpr int kMostSharedWorkers = 63;

// One run() call: lives on the caller's stack until every worker has left it.
struct Job {
  PoolJob& work;
  int count;
  int helpers;               // how many workers may join
  std::atomic<int> next{1};  // part 0 is the caller's
  int joined = 0;            // workers that have joined
  int inside = 0;            // workers still in it
  bool queued = false;
  Job* after = nullptr;  // the next job in the queue
  std::exception_ptr failure;
  std::atomic<bool> failed{false};

  Job(PoolJob& w, int c, int h) : work(w), count(c), helpers(h) {}

  // Takes parts until none is left; the first exception is kept for the caller.
  void takeParts(int first) {
    for (int index = first; index < count; index = next++) {
      try {
        work.part(index);
      } catch (...) {
        if (!failed.exchange(true)) failure = std::current_exception();
      }
    }
  }
};

// Every part on the caller's thread.
int runHere(int count, PoolJob& work) {
  Job job(work, count, 0);
  job.takeParts(0);
  if (job.failure) std::rethrow_exception(job.failure);
  return 1;
}

}  // namespace

#if TRAZO_HAS_THREADS

struct WorkerPool::State {
  std::mutex lock;
  std::condition_variable wake;      // a job was queued, or the pool stops
  std::condition_variable finished;  // a worker left a job
  std::vector<std::thread> workers;
  Job* first = nullptr;  // the queue of jobs that still take workers
  Job* last = nullptr;
  bool stopping = false;
  int most = 0;

  void enqueue(Job& job) {
    job.queued = true;
    job.after = nullptr;
    (last != nullptr ? last->after : first) = &job;
    last = &job;
  }
  void dequeue(Job& job) {
    Job** link = &first;
    Job* previous = nullptr;
    while (*link != &job) previous = *link, link = &(*link)->after;
    *link = job.after;
    if (last == &job) last = previous;
    job.queued = false;
  }

  void serve() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
      wake.wait(held, [&] { return stopping || first != nullptr; });
      if (stopping) return;
      Job& job = *first;
      ++job.inside;
      if (++job.joined == job.helpers) dequeue(job);
      held.unlock();
      job.takeParts(job.next++);
      held.lock();
      if (--job.inside == 0) finished.notify_all();
    }
  }

  // Starts workers up to `wanted` (and the pool's most); how many there are. A thread or
  // the memory for it that cannot be had leaves fewer.
  int grow(int wanted) {
    const std::lock_guard<std::mutex> held(lock);
    wanted = std::min(wanted, most);
    while (static_cast<int>(workers.size()) < wanted) {
      try {
        workers.emplace_back([this] { serve(); });
      } catch (...) {
        break;
      }
    }
    return static_cast<int>(workers.size());
  }
};

WorkerPool::WorkerPool(int mostWorkers) noexcept : most_(std::max(mostWorkers, 0)) {}

WorkerPool::~WorkerPool() {
  State* const s = state_.load(std::memory_order_acquire);
  if (s == nullptr) return;
  {
    const std::lock_guard<std::mutex> held(s->lock);
    s->stopping = true;
  }
  s->wake.notify_all();
  for (std::thread& worker : s->workers) worker.join();
  delete s;
}

WorkerPool::State* WorkerPool::state() {
  State* s = state_.load(std::memory_order_acquire);
  if (s != nullptr || most_ == 0) return s;
  State* const made = new (std::nothrow) State;
  if (made == nullptr) return nullptr;
  made->most = most_;
  // Two first runs at once: the one that loses keeps the winner's.
  if (state_.compare_exchange_strong(s, made, std::memory_order_acq_rel, std::memory_order_acquire)) return made;
  delete made;
  return s;
}

int WorkerPool::parallelism() const {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min(cores, 1024u));
}

int WorkerPool::run(int count, int threads, PoolJob& work) {
  if (count <= 0) return 1;
  settleVectorRegisters();  // the caller's thread may come from the host's own work
  int helpers = std::min(threads, count) - 1;
  State* const pool = helpers > 0 ? state() : nullptr;
  if (pool != nullptr) helpers = std::min(helpers, pool->grow(helpers));
  if (helpers <= 0 || pool == nullptr) return runHere(count, work);
  State& s = *pool;
  Job job(work, count, helpers);
  {
    const std::lock_guard<std::mutex> held(s.lock);
    s.enqueue(job);
  }
  s.wake.notify_all();
  job.takeParts(0);
  {
    std::unique_lock<std::mutex> held(s.lock);
    if (job.queued) s.dequeue(job);
    s.finished.wait(held, [&] { return job.inside == 0; });
  }
  if (job.failure) std::rethrow_exception(job.failure);
  return 1 + helpers;
}

#else

struct WorkerPool::State {};

WorkerPool::WorkerPool(int) noexcept {}
WorkerPool::~WorkerPool() = default;
WorkerPool::State* WorkerPool::state() { return nullptr; }
int WorkerPool::parallelism() const { return 1; }

int WorkerPool::run(int count, int, PoolJob& work) { return count <= 0 ? 1 : runHere(count, work); }

#endif

WorkerPool& sharedWorkerPool() {
  static WorkerPool pool(kMostSharedWorkers);
  return pool;
}

}  // namespace trazo
