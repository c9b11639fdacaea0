#include "thread_band_runner.hpp"

#include <windows.h>

#include <algorithm>

namespace trazo::win32 {
namespace {

// Enough for any thread cap a picture is given; workers are started only as jobs ask.
constexpr int kMostWorkers = 63;
// A worker without work for this long leaves, so that an idle module can be unloaded.
constexpr DWORD kIdleMilliseconds = 5000;

// One run() call: lives on the caller's stack until every worker has left it.
struct Job {
  BandWork* work;
  int count;
  int helpers;         // how many workers may join
  volatile LONG next;  // the next band to take; band 0 is the caller's
  int joined;          // workers that have joined
  int inside;          // workers still in it
  bool queued;
  Job* after;  // the next job in the queue

  void takeBands(int band) {
    for (; band < count; band = static_cast<int>(InterlockedIncrement(&next)) - 1) work->draw(band);
  }
};

// The pool's state, all of it trivially destructible: nothing runs when the module goes.
struct Pool {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;      // a job was queued
  CONDITION_VARIABLE finished = CONDITION_VARIABLE_INIT;  // a worker left a job
  Job* first = nullptr;                                   // the queue of jobs that still take workers
  Job* last = nullptr;
  int workers = 0;

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
};

Pool pool;

// Serves jobs until none comes for a while; `serve` returns with the lock released.
void serve() {
  AcquireSRWLockExclusive(&pool.lock);
  for (;;) {
    while (pool.first == nullptr) {
      const BOOL woken = SleepConditionVariableSRW(&pool.wake, &pool.lock, kIdleMilliseconds, 0);
      if (!woken && pool.first == nullptr) {
        --pool.workers;
        ReleaseSRWLockExclusive(&pool.lock);
        return;
      }
    }
    Job& job = *pool.first;
    ++job.inside;
    if (++job.joined == job.helpers) pool.dequeue(job);
    ReleaseSRWLockExclusive(&pool.lock);
    job.takeBands(static_cast<int>(InterlockedIncrement(&job.next)) - 1);
    AcquireSRWLockExclusive(&pool.lock);
    if (--job.inside == 0) WakeAllConditionVariable(&pool.finished);
  }
}

DWORD WINAPI worker(void* module) {
  serve();
  FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
  return 0;
}

// Starts workers up to `wanted`, with the lock held; how many there are. A thread or a
// module reference that cannot be had leaves fewer.
int grow(int wanted) {
  wanted = std::min(wanted, kMostWorkers);
  while (pool.workers < wanted) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&pool), &module)) break;
    HANDLE thread = CreateThread(nullptr, 0, worker, module, 0, nullptr);
    if (thread == nullptr) {
      FreeLibrary(module);
      break;
    }
    CloseHandle(thread);
    ++pool.workers;
  }
  return pool.workers;
}

}  // namespace

int ThreadBandRunner::parallelism() const {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
  int cores = 0;
  for (; process != 0; process &= process - 1) ++cores;
  return cores;
}

int ThreadBandRunner::run(int count, int threads, BandWork& work) {
  if (count <= 0) return 1;
  int helpers = std::min(threads, count) - 1;
  if (helpers <= 0) {
    for (int band = 0; band < count; ++band) work.draw(band);
    return 1;
  }
  Job job{&work, count, 0, 1, 0, 0, false, nullptr};
  AcquireSRWLockExclusive(&pool.lock);
  helpers = std::min(helpers, grow(helpers));
  job.helpers = helpers;
  if (helpers > 0) pool.enqueue(job);
  ReleaseSRWLockExclusive(&pool.lock);
  if (helpers > 0) WakeAllConditionVariable(&pool.wake);
  job.takeBands(0);
  AcquireSRWLockExclusive(&pool.lock);
  if (job.queued) pool.dequeue(job);
  while (job.inside > 0) SleepConditionVariableSRW(&pool.finished, &pool.lock, INFINITE, 0);
  ReleaseSRWLockExclusive(&pool.lock);
  return 1 + helpers;
}

ThreadBandRunner& threadBandRunner() {
  static ThreadBandRunner runner;
  return runner;
}

}  // namespace trazo::win32
