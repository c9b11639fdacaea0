// A few threads of the process's own, started on first need and kept until exit, that run
// the parts of a job side by side: the raster's bands, the pieces of a large script. The
// caller of run() takes part in its own job, so every job finishes even when no thread can
// be started or every worker is busy with another caller's job; jobs from several threads
// at once queue for the workers. A pool that could not start its threads (memory was short)
// tries again at its next run.
#pragma once

#include <atomic>

namespace trazo {

// What a pool runs: parts 0 .. count-1 of one job, each once, perhaps at the same time.
class PoolJob {
 public:
  virtual void part(int index) = 0;

 protected:
  ~PoolJob() = default;
};

class WorkerPool {
 public:
  // Never more than `mostWorkers` threads of its own; none started yet, nothing allocated.
  explicit WorkerPool(int mostWorkers) noexcept;
  // Stops the workers and waits for them.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // How many threads can usefully run at the same time: the processor's cores, or 1 where
  // the platform cannot start threads.
  int parallelism() const;

  // Calls job.part(0) .. job.part(count - 1), each once: part 0 and whatever else it gets to
  // on the caller's thread, the rest on up to `threads - 1` workers, started here when
  // fewer are running (tried again at a later run when they could not be). Returns once
  // every part has returned, with the number of threads the parts were shared among (1 when
  // no worker could be had). When parts throw, the first exception comes out of run(), once
  // every other part has returned.
  int run(int count, int threads, PoolJob& job);

  // run() for a callable: `part(index)` for each index of 0 .. count-1.
  template <class Part>
  int runEach(int count, int threads, const Part& part) {
    struct Job final : PoolJob {
      explicit Job(const Part& p) : call(p) {}
      void part(int index) override { call(index); }
      const Part& call;
    } job(part);
    return run(count, threads, job);
  }

 private:
  struct State;
  // The workers' state, made at the first run that wants workers; made again at a later run
  // when there was no memory for it.
  State* state();
  std::atomic<State*> state_{nullptr};
  [[maybe_unused]] int most_ = 0;  // unused where the platform has no threads
};

// The pool the raster and the script reader share.
WorkerPool& sharedWorkerPool();

}  // namespace trazo
