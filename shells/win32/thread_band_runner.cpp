#include "thread_band_runner.hpp"

#include <windows.h>

#include <algorithm>
#include <new>
#include <vector>

namespace trazo::win32 {
namespace {

struct Band {
  BandWork* work;
  int index;
};

DWORD WINAPI drawBand(void* parameter) {
  Band& band = *static_cast<Band*>(parameter);
  band.work->draw(band.index);
  return 0;
}

void waitForAll(const std::vector<HANDLE>& threads) {
  for (std::size_t from = 0; from < threads.size(); from += MAXIMUM_WAIT_OBJECTS) {
    const auto n = static_cast<DWORD>(std::min<std::size_t>(MAXIMUM_WAIT_OBJECTS, threads.size() - from));
    WaitForMultipleObjects(n, threads.data() + from, TRUE, INFINITE);
  }
  for (HANDLE thread : threads) CloseHandle(thread);
}

}  // namespace

int ThreadBandRunner::parallelism() const {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
  int cores = 0;
  for (; process != 0; process &= process - 1) ++cores;
  return cores;
}

// The caller's thread draws band 0 and every band whose thread could not be started, so the
// picture is complete whatever the system allows.
void ThreadBandRunner::run(int count, BandWork& work) {
  if (count <= 0) return;
  std::vector<Band> bands;
  std::vector<HANDLE> threads;
  bool threaded = true;
  try {
    bands.reserve(static_cast<std::size_t>(count - 1));  // fixed addresses for the threads
    threads.reserve(static_cast<std::size_t>(count - 1));
  } catch (const std::bad_alloc&) {
    threaded = false;
  }
  for (int index = 1; threaded && index < count; ++index) {
    bands.push_back({&work, index});
    HANDLE thread = CreateThread(nullptr, 0, drawBand, &bands.back(), 0, nullptr);
    if (thread == nullptr) {
      bands.pop_back();
      break;
    }
    threads.push_back(thread);
  }
  work.draw(0);
  for (int index = static_cast<int>(threads.size()) + 1; index < count; ++index) work.draw(index);
  waitForAll(threads);
}

ThreadBandRunner& threadBandRunner() {
  static ThreadBandRunner runner;
  return runner;
}

}  // namespace trazo::win32
