// Reflash of a mixed drawing on a picture that draws nothing, against the bare loop that makes
// the same drawing calls from a plain copy of the same records. Before timing, both paint
// onto a call log and must agree call for call, or the comparison is skipped with an error.
#include "picture/null_surface.hpp"
#include "control/trazo.hpp"
#include "core_bare_paint.hpp"
#include "core_call_log.hpp"
#include "core_scene.hpp"

#include <benchmark/benchmark.h>

namespace trazo::bench {
namespace {

// False when the bare loop and Reflash would not make the same drawing calls.
bool bareLoopMatchesReflash(Trazo& control, const std::vector<Entity>& records) {
  CallLogSurface viaReflash;
  control.attachPicture(viaReflash);
  const Status s = control.Reflash();
  control.detachPicture();
  CallLogSurface viaBare;
  paintBare(records, viaBare);
  return !failed(s) && !viaReflash.calls().empty() && viaReflash.calls() == viaBare.calls();
}

void BM_Reflash(benchmark::State& state) {
  Trazo control;
  if (failed(fillMixedScene(control, static_cast<std::int32_t>(state.range(0))))) {
    state.SkipWithError("building the drawing failed");
    return;
  }
  NullSurface picture;
  control.attachPicture(picture);
  for (auto _ : state) {
    if (failed(control.Reflash())) {
      state.SkipWithError("Reflash failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Reflash_Bare(benchmark::State& state) {
  Trazo control;
  if (failed(fillMixedScene(control, static_cast<std::int32_t>(state.range(0))))) {
    state.SkipWithError("building the drawing failed");
    return;
  }
  const std::vector<Entity> records = copyRecords(control);
  if (!bareLoopMatchesReflash(control, records)) {
    state.SkipWithError("the bare loop does not make the calls Reflash makes");
    return;
  }
  NullSurface nothing;
  // Hide the picture's type so that its empty operations stay real virtual calls.
  Surface* picture = &nothing;
  benchmark::DoNotOptimize(picture);
  for (auto _ : state) {
    paintBare(records, *picture);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_Reflash)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reflash_Bare)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace trazo::bench
