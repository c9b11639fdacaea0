// Each add of the control against a bare append of the same record into a vector whose memory
// is reserved up front. A timed batch is kBatchAdds records; between batches the control is
// cleared (and the vector emptied) with the clock stopped, so memory stays bounded.
#include "control/trazo.hpp"
#include "core_inputs.hpp"
#include "model/entity.hpp"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace trazo::bench {
namespace {

constexpr std::int64_t kBatchAdds = 100000;

// Every field an add stores, the strings copied as the store copies them.
struct BareEntity {
  std::int16_t Kind = kKindNone;
  double Value1 = 0, Value2 = 0, Value3 = 0, Value4 = 0, Value5 = 0;
  std::int32_t Col = 0, LineType = 0;
  std::u16string Text, Tag;
};

// Runs `add(control, args)` for kBatchAdds / recordsPerCall calls per iteration.
template <typename Add>
void runControlAdds(benchmark::State& state, std::int64_t recordsPerCall, Add add) {
  const std::int64_t calls = kBatchAdds / recordsPerCall;
  const AddArgs* inputs = addInputs().data();
  Trazo control;
  for (auto _ : state) {
    state.PauseTiming();
    if (failed(control.Clear())) state.SkipWithError("Clear failed");
    state.ResumeTiming();
    for (std::int64_t i = 0; i < calls; ++i) {
      if (failed(add(control, inputs[static_cast<std::size_t>(i) & kInputMask]))) {
        state.SkipWithError("an add failed");
        break;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * calls);
}

// Runs `append(records, args)` the same number of times into memory reserved once.
template <typename Append>
void runBareAppends(benchmark::State& state, std::int64_t recordsPerCall, Append append) {
  const std::int64_t calls = kBatchAdds / recordsPerCall;
  std::vector<BareEntity> records;
  records.reserve(static_cast<std::size_t>(kBatchAdds));
  const AddArgs* inputs = addInputs().data();
  for (auto _ : state) {
    state.PauseTiming();
    records.clear();
    state.ResumeTiming();
    for (std::int64_t i = 0; i < calls; ++i) append(records, inputs[static_cast<std::size_t>(i) & kInputMask]);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * calls);
}

void appendLine(std::vector<BareEntity>& records, double x1, double y1, double x2, double y2, const AddArgs& a) {
  BareEntity e;
  e.Kind = kKindLine;
  e.Value1 = x1;
  e.Value2 = y1;
  e.Value3 = x2;
  e.Value4 = y2;
  e.Col = a.col;
  e.LineType = a.lType;
  records.push_back(std::move(e));
}

void BM_AddLine(benchmark::State& state) {
  runControlAdds(state, 1,
                 [](Trazo& t, const AddArgs& a) { return t.AddLine(a.x1, a.y1, a.x2, a.y2, a.col, a.lType, {}); });
}

void BM_AddLine_Bare(benchmark::State& state) {
  runBareAppends(state, 1,
                 [](std::vector<BareEntity>& r, const AddArgs& a) { appendLine(r, a.x1, a.y1, a.x2, a.y2, a); });
}

void BM_AddBox(benchmark::State& state) {
  runControlAdds(state, 4,
                 [](Trazo& t, const AddArgs& a) { return t.AddBox(a.x1, a.y1, a.x2, a.y2, a.col, a.lType, {}); });
}

// The four sides as AddBox stores them: bottom, top, left, right.
void BM_AddBox_Bare(benchmark::State& state) {
  runBareAppends(state, 4, [](std::vector<BareEntity>& r, const AddArgs& a) {
    const double left = a.x1 < a.x2 ? a.x1 : a.x2, right = a.x1 < a.x2 ? a.x2 : a.x1;
    const double low = a.y1 < a.y2 ? a.y1 : a.y2, high = a.y1 < a.y2 ? a.y2 : a.y1;
    appendLine(r, left, low, right, low, a);
    appendLine(r, left, high, right, high, a);
    appendLine(r, left, low, left, high, a);
    appendLine(r, right, low, right, high, a);
  });
}

void BM_AddCircle(benchmark::State& state) {
  runControlAdds(state, 1, [](Trazo& t, const AddArgs& a) { return t.AddCircle(a.x1, a.y1, a.r, a.col, a.lType, {}); });
}

void BM_AddCircle_Bare(benchmark::State& state) {
  runBareAppends(state, 1, [](std::vector<BareEntity>& r, const AddArgs& a) {
    BareEntity e;
    e.Kind = kKindCircle;
    e.Value1 = a.x1;
    e.Value2 = a.y1;
    e.Value3 = a.r;
    e.Col = a.col;
    e.LineType = a.lType;
    r.push_back(std::move(e));
  });
}

void BM_AddCircle2(benchmark::State& state) {
  runControlAdds(state, 1, [](Trazo& t, const AddArgs& a) {
    return t.AddCircle2(a.x1, a.y1, a.r, a.sa, a.ea, a.col, a.lType, {});
  });
}

void BM_AddCircle2_Bare(benchmark::State& state) {
  runBareAppends(state, 1, [](std::vector<BareEntity>& r, const AddArgs& a) {
    BareEntity e;
    e.Kind = kKindArc;
    e.Value1 = a.x1;
    e.Value2 = a.y1;
    e.Value3 = a.r;
    e.Value4 = a.sa;
    e.Value5 = a.ea;
    e.Col = a.col;
    e.LineType = a.lType;
    r.push_back(std::move(e));
  });
}

void BM_AddText(benchmark::State& state) {
  runControlAdds(state, 1,
                 [](Trazo& t, const AddArgs& a) { return t.AddText(a.x1, a.y1, a.th, a.ang, a.col, kShortText, {}); });
}

void BM_AddText_Bare(benchmark::State& state) {
  runBareAppends(state, 1, [](std::vector<BareEntity>& r, const AddArgs& a) {
    BareEntity e;
    e.Kind = kKindText;
    e.Value1 = a.x1;
    e.Value2 = a.y1;
    e.Value3 = a.th;
    e.Value4 = a.ang;
    e.Col = a.col;
    e.Text.assign(kShortText);
    r.push_back(std::move(e));
  });
}

}  // namespace

BENCHMARK(BM_AddLine);
BENCHMARK(BM_AddLine_Bare);
BENCHMARK(BM_AddBox);
BENCHMARK(BM_AddBox_Bare);
BENCHMARK(BM_AddCircle);
BENCHMARK(BM_AddCircle_Bare);
BENCHMARK(BM_AddCircle2);
BENCHMARK(BM_AddCircle2_Bare);
BENCHMARK(BM_AddText);
BENCHMARK(BM_AddText_Bare);

}  // namespace trazo::bench
