// Bytes per stored line without tag or text: the process's resident memory after ten
// million AddLine calls, less what it held before, divided by the number of entities; and
// the same from the allocator's count of what it has handed out. And what a Clear of
// a drawing with great tags gives back to the system: resident memory before the drawing,
// with it, and after the Clear, beside a store that never hands memory back.
#include "control/trazo.hpp"
#include "model/add_operations.hpp"
#include "model/heap_release.hpp"
#include "model/store.hpp"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

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

// Resident bytes of the process (Linux: /proc/self/statm); false elsewhere.
bool residentBytes(std::size_t& bytes) {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return false;
  unsigned long total = 0, resident = 0;
  const bool read = std::fscanf(statm, "%lu %lu", &total, &resident) == 2;
  std::fclose(statm);
  bytes = static_cast<std::size_t>(resident) * 4096;
  return read;
}

void BM_BytesPerLine(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  for (auto _ : state) {
    std::size_t heapBefore = 0, residentBefore = 0;
    if (!heapInUse(heapBefore) || !residentBytes(residentBefore)) {
      state.SkipWithError("no memory statistics on this platform");
      break;
    }
    auto control = std::make_unique<Trazo>();
    bool ok = !failed(control->Clear());
    for (std::int64_t i = 0; ok && i < n; ++i) {
      const auto x = static_cast<double>(i);
      ok = !failed(control->AddLine(x, 0, x + 1, 1, 1, 0, {}));
    }
    std::size_t heapAfter = 0, residentAfter = 0;
    heapInUse(heapAfter);
    residentBytes(residentAfter);
    if (!ok) {
      state.SkipWithError("an add failed");
      break;
    }
    const auto perEntity = [n](std::size_t before, std::size_t after) {
      return static_cast<double>(after - before) / static_cast<double>(n);
    };
    state.counters["resident_bytes_per_entity"] = perEntity(residentBefore, residentAfter);
    state.counters["heap_bytes_per_entity"] = perEntity(heapBefore, heapAfter);
    state.counters["record_bytes"] = static_cast<double>(sizeof(EntityRecord) + 1);
  }
}

void noHeapRelease() {}

// The share of the memory a drawing took that is still resident after its Clear.
bool keptAfterClear(HeapRelease heapRelease, std::int64_t lines, double& kept, double& addedBytes) {
  const std::u16string tag(500, u'g');  // 1000 bytes a tag: small enough for the heap proper
  std::size_t before = 0, full = 0, cleared = 0;
  Store store(&allocateEntityBlock, heapRelease);
  if (failed(store.clear()) || !residentBytes(before)) return false;
  for (std::int64_t i = 0; i < lines; ++i) {
    const auto x = static_cast<double>(i);
    if (failed(addLine(store, x, 0, x + 1, 1, 1, 0, tag))) return false;
  }
  residentBytes(full);
  if (failed(store.clear())) return false;
  residentBytes(cleared);
  addedBytes = static_cast<double>(full) - static_cast<double>(before);
  kept = (static_cast<double>(cleared) - static_cast<double>(before)) / addedBytes;
  return addedBytes > 0;
}

void BM_ClearGivesGreatTagsBack(benchmark::State& state) {
  const std::int64_t lines = state.range(0);
  for (auto _ : state) {
    double kept = 0, keptBare = 0, added = 0, addedBare = 0;
    const bool bare = keptAfterClear(&noHeapRelease, lines, keptBare, addedBare);
    releaseFreeHeap();  // the measurement starts from a heap without the baseline's free memory
    if (!bare || !keptAfterClear(&releaseFreeHeap, lines, kept, added)) {
      state.SkipWithError("no resident memory figures on this platform, or an add failed");
      break;
    }
    state.counters["added_mb"] = added / 1e6;
    state.counters["kept_fraction"] = kept;
    state.counters["kept_fraction_bare"] = keptBare;
  }
}

}  // namespace

BENCHMARK(BM_ClearGivesGreatTagsBack)->Arg(200000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BytesPerLine)->Arg(10000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace trazo::bench
