// Heap bytes per stored line without tag or text: what the allocator has handed out after
// a million AddLine calls, less what it had before, divided by the number of entities.
// The figure includes the allocator's own bookkeeping for each block.
#include "control/trazo.hpp"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace trazo::bench {
namespace {

#if defined(__GLIBC__)
bool heapInUse(std::size_t& bytes) {
  const struct mallinfo2 info = mallinfo2();
  bytes = info.uordblks + info.hblkhd;  // small chunks in use plus mapped blocks
  return true;
}
#else
bool heapInUse(std::size_t&) { return false; }
#endif

void BM_BytesPerLine(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  for (auto _ : state) {
    std::size_t before = 0;
    if (!heapInUse(before)) {
      state.SkipWithError("no heap statistics on this platform");
      break;
    }
    auto control = std::make_unique<Trazo>();
    bool ok = !failed(control->Clear());
    for (std::int64_t i = 0; ok && i < n; ++i) {
      const auto x = static_cast<double>(i);
      ok = !failed(control->AddLine(x, 0, x + 1, 1, 1, 0, {}));
    }
    std::size_t after = 0;
    heapInUse(after);
    if (!ok) {
      state.SkipWithError("an add failed");
      break;
    }
    state.counters["bytes_per_entity"] = static_cast<double>(after - before) / static_cast<double>(n);
    state.counters["sizeof_entity"] = static_cast<double>(sizeof(Entity));
  }
}

}  // namespace

BENCHMARK(BM_BytesPerLine)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace trazo::bench
